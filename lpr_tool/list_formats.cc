// Listing the label formats of the model's information files beside the PPD's.
#include "driver_tree.h"
#include "info_files.h"
#include "label_id.h"
#include "label_listing.h"
#include "ppd_ids.h"

int ListModelFormats(const LprRequest& request, std::string* listing) {
  std::vector<LabelEntry> entries;
  std::map<std::string, std::vector<double>> sizes;
  LprRequest own = request;
  own.work_path = TapeListPath(request.model);
  bool read = ReadLabelEntries(own.work_path, "", &entries);
  if (read) {
    own.work_path = PaperDimensionPath(request.model);
    read = ReadLabelValues(own.work_path, "", 2, &sizes);
  }
  if (!read) {
    ReportFileFailure(own);
    return kFileError;
  }
  std::set<std::string, std::less<>> in_ppd, listed;
  std::vector<std::string> ppd_lines;
  std::string why;
  const bool known = ListPpdIds(request, &in_ppd, &why, &ppd_lines);
  for (const LabelEntry& entry : entries) {
    const char* ppd = !known ? "?" : in_ppd.contains(entry.id) ? "ppd" : "-";
    *listing += ListingLine(entry, sizes) + "\t" + ppd + "\n";
    listed.insert(entry.id);
  }
  // What CUPS offers and the information files no longer hold (a removal
  // whose re-registration failed, a run cut short): -d takes it out.
  for (const std::string& line : ppd_lines) {
    if (!listed.contains(line.substr(0, kLabelIdLength))) *listing += line + "\tppd-only\n";
  }
  return kDone;
}
