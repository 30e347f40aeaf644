// Finding the device URI among the options that lpoptions prints.
#include "cups_tool.h"

namespace {

constexpr std::string_view kDeviceUriKey = "device-uri=";

}  // namespace

bool FindDeviceUri(std::string_view line, std::string* uri) {
  line = line.substr(0, line.find('\0'));
  char quote = '\0';  // the quote character of an open quoted run
  bool at_word_start = true;
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (quote == '\0' && at_word_start && line.substr(i).starts_with(kDeviceUriKey)) {
      std::string_view value = line.substr(i + kDeviceUriKey.size());
      *uri = std::string(value.substr(0, value.find(' ')));
      return true;
    }
    at_word_start = false;
    if (quote == '\'') {
      if (c == '\'') quote = '\0';
    } else if (c == '\\') {
      ++i;  // the escaped character neither quotes nor separates
    } else if (quote == '"') {
      if (c == '"') quote = '\0';
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == ' ') {
      at_word_start = true;
    }
  }
  return false;
}
