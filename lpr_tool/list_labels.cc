// Listing the label formats of the model's information files beside the PPD's.
#include <set>

#include "driver_tree.h"
#include "lpr_tool.h"
#include "shell_command.h"

namespace {

// The identifiers the CUPS tool lists for the queue, or false when it fails.
bool PpdIdentifiers(const LprRequest& request, std::set<std::string>* ids) {
  std::string output;
  if (RunCommandForOutput(ListingCommand(request), &output) != kDone) return false;
  for (size_t at = 0; at < output.size();) {
    const size_t end = output.find('\n', at);
    const std::string_view line = std::string_view(output).substr(at, end - at);
    ids->emplace(line.substr(0, line.find('\t')));
    at = end == std::string::npos ? output.size() : end + 1;
  }
  return true;
}

}  // namespace

int ListLabels(const LprRequest& request, std::string* listing) {
  std::vector<LabelEntry> entries;
  std::map<std::string, LabelSize> sizes;
  if (!ReadLabelEntries(TapeListPath(request.model), "", &entries) ||
      !ReadLabelSizes(PaperDimensionPath(request.model), "", &sizes)) {
    return kFileError;
  }
  std::set<std::string> in_ppd;
  const bool known = PpdIdentifiers(request, &in_ppd);
  for (const LabelEntry& entry : entries) {
    const char* ppd = !known ? "?" : in_ppd.contains(entry.id) ? "ppd" : "-";
    *listing += ListingLine(entry, sizes) + "\t" + ppd + "\n";
  }
  return kDone;
}
