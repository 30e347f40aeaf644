// Listing the label formats of a queue's PPD.
#include "cups_tool.h"

int ListLabels(const LabelRequest& request, std::string* listing) {
  std::vector<LabelEntry> entries;
  std::map<std::string, LabelSize> sizes;
  if (!ReadLabelEntries(request.ppd_path, "*PageSize", &entries) ||
      !ReadLabelSizes(request.ppd_path, "*PaperDimension", &sizes)) {
    return kFileError;
  }
  for (const LabelEntry& entry : entries) *listing += ListingLine(entry, sizes) + "\n";
  return kDone;
}
