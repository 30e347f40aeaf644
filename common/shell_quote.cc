// Quoting of values put into commands that the shell runs.
#include "shell_quote.h"

namespace {

bool IsShellSafe(char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  switch (c) {
    case '%':
    case '+':
    case ',':
    case '-':
    case '.':
    case '/':
    case ':':
    case '=':
    case '@':
    case '_':
      return true;
    default:
      return false;
  }
}

}  // namespace

std::string ShellQuote(std::string_view value) {
  bool bare = !value.empty();
  for (char c : value) bare = bare && IsShellSafe(c);
  if (bare) return std::string(value);
  std::string quoted;
  quoted.reserve(value.size() + 2);
  quoted += '\'';
  for (char c : value) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  quoted += '\'';
  return quoted;
}

std::string DoubleQuote(std::string_view value) {
  std::string quoted;
  quoted.reserve(value.size() + 2);
  quoted += '"';
  for (char c : value) {
    if (c == '\\' || c == '"' || c == '$' || c == '`') quoted += '\\';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}
