// Listing the label formats of the model's information files beside the PPD's.
#include "driver_tree.h"
#include "label_id.h"
#include "label_listing.h"
#include "ppd_ids.h"

Outcome ListModelFormats(const LprRequest& request, std::string* listing) {
  std::vector<LabelEntry> entries;
  std::map<std::string, std::vector<double>> sizes;
  const std::string tape_list = TapeListPath(request.model),
                    paper_dimension = PaperDimensionPath(request.model);
  if (!ReadLabelEntries(tape_list, "", &entries)) return FileFailure(tape_list);
  if (!ReadLabelValues(paper_dimension, "", 2, &sizes)) return FileFailure(paper_dimension);
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
  return {};
}
