// Reading the option words of the first line that lpoptions prints.
#include <vector>

#include "cups_tool.h"

namespace {

constexpr std::string_view kDeviceUriKey = "device-uri=";

// The offsets at which the words of `line` begin.  Words are separated by
// blanks.  lpoptions puts a value that holds blanks or quotes between single
// quotes without escaping anything inside, so a value that opens with a quote
// right after its "=" runs to the next such quote that is followed by a blank
// or the end of the line: "printer-info='Bob's printer'" is one word.  A zero
// byte ends the line.
std::vector<size_t> WordStarts(std::string_view line) {
  line = line.substr(0, line.find('\0'));
  std::vector<size_t> starts;
  size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ') {
      ++i;
      continue;
    }
    starts.push_back(i);
    size_t blank = line.find(' ', i);
    size_t equals = line.find('=', i);
    if (equals < blank && equals + 1 < line.size() &&
        (line[equals + 1] == '\'' || line[equals + 1] == '"')) {
      const char quote = line[equals + 1];
      size_t close = equals + 1;
      do {
        close = line.find(quote, close + 1);
      } while (close != std::string_view::npos && close + 1 < line.size() &&
               line[close + 1] != ' ');
      blank = close == std::string_view::npos ? line.size() : close + 1;
    }
    i = blank == std::string_view::npos ? line.size() : blank;
  }
  return starts;
}

}  // namespace

bool FindDeviceUri(std::string_view line, std::string* uri) {
  line = line.substr(0, line.find('\0'));
  for (size_t start : WordStarts(line)) {
    if (!line.substr(start).starts_with(kDeviceUriKey)) continue;
    std::string_view value = line.substr(start + kDeviceUriKey.size());
    *uri = std::string(value.substr(0, value.find(' ')));
    return true;
  }
  return false;
}

