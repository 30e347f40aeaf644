// Reading the option words of the first line that lpoptions prints.
#include <vector>

#include "cups_tool.h"

namespace {

constexpr std::string_view kDeviceUriKey = "device-uri=";

// The offsets at which the words of `line` begin.  Words are separated by
// spaces outside lpoptions' single quotes, double quotes and backslash
// escapes; a zero byte ends the line.
std::vector<size_t> WordStarts(std::string_view line) {
  std::vector<size_t> starts;
  char quote = '\0';  // the quote character of an open quoted run
  bool at_word_start = true;
  for (size_t i = 0; i < line.size() && line[i] != '\0'; ++i) {
    char c = line[i];
    if (at_word_start && c != ' ') starts.push_back(i);
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

bool HasOptionWord(std::string_view line, std::string_view word) {
  line = line.substr(0, line.find('\0'));
  for (size_t start : WordStarts(line)) {
    std::string_view rest = line.substr(start);
    if (rest.starts_with(word) && (rest.size() == word.size() || rest[word.size()] == ' ')) {
      return true;
    }
  }
  return false;
}
