// Which label formats a queue's PPD holds, as the CUPS tool lists them.
#include "ppd_ids.h"

#include <cstdlib>

#include "driver_tree.h"
#include "label_id.h"
#include "shell_command.h"

namespace {

// Whether `field` is a size of a listing line: a number, or "-" for none.
bool IsSize(const std::string& field) {
  char* end = nullptr;
  std::strtod(field.c_str(), &end);
  return field == "-" || (!field.empty() && end == field.c_str() + field.size());
}

}  // namespace

bool ListPpdIds(const LprRequest& request, std::set<std::string, std::less<>>* ids,
                std::string* why, std::vector<std::string>* lines) {
  std::string said;
  const int status = RunCommandForOutput(ListingCommand(request) + " 2>&1", &said);
  if (status != 0) {
    *why = "its PPD could not be listed (status " + std::to_string(status) +
           "): " + said.substr(0, said.find('\n'));
    return false;
  }
  *why = "the CUPS tool's listing of its PPD could not be read";
  for (size_t at = 0; at < said.size();) {
    const size_t end = said.find('\n', at);
    if (end == std::string::npos) return false;  // a listing line ends with a line feed
    const std::string line = said.substr(at, end - at);
    at = end + 1;
    const size_t tab1 = line.find('\t'), tab2 = line.find('\t', tab1 + 1),
                 tab3 = line.find('\t', tab2 + 1);
    if (tab1 != kLabelIdLength || !HoldsLabelId(line.substr(0, tab1)) ||
        tab3 == std::string::npos || !IsSize(line.substr(tab1 + 1, tab2 - tab1 - 1)) ||
        !IsSize(line.substr(tab2 + 1, tab3 - tab2 - 1))) {
      return false;
    }
    ids->insert(line.substr(0, tab1));
    if (lines != nullptr) lines->push_back(line);
  }
  return true;
}
