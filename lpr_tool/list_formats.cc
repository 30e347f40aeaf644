// Listing the label formats of the model's information files beside the PPD's.
#include "driver_tree.h"
#include "label_id.h"
#include "label_listing.h"
#include "ppd_ids.h"

int ListModelFormats(const LprRequest& request, std::string* listing) {
  std::vector<LabelEntry> entries;
  std::map<std::string, std::vector<double>> sizes;
  if (!ReadLabelEntries(TapeListPath(request.model), "", &entries) ||
      !ReadLabelValues(PaperDimensionPath(request.model), "", 2, &sizes)) {
    return kFileError;
  }
  std::set<std::string, std::less<>> in_ppd;
  std::string why;
  const bool known = ListPpdIds(request, &in_ppd, &why);
  for (const LabelEntry& entry : entries) {
    const char* ppd = !known ? "?" : in_ppd.contains(entry.id) ? "ppd" : "-";
    *listing += ListingLine(entry, sizes) + "\t" + ppd + "\n";
  }
  return kDone;
}
