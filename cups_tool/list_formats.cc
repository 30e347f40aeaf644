// Listing the label formats of a queue's PPD.
#include "cups_tool.h"
#include "label_listing.h"

Outcome ListQueueFormats(const LabelRequest& request, std::string* listing) {
  std::vector<LabelEntry> entries;
  std::map<std::string, std::vector<double>> sizes;
  if (!ReadLabelEntries(request.ppd_path, "*PageSize", &entries) ||
      !ReadLabelValues(request.ppd_path, "*PaperDimension", 2, &sizes)) {
    return FileFailure(request.ppd_path);
  }
  for (const LabelEntry& entry : entries) *listing += ListingLine(entry, sizes) + "\n";
  return {};
}
