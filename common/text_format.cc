// printf-style formatting into strings of any length, and text replacement.
#include "text_format.h"

#include <cstdio>

std::string FormatTextV(const char* format, va_list args) {
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  std::string text;
  if (length > 0) {
    text.resize(static_cast<size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, again);
    text.resize(static_cast<size_t>(length));
  }
  va_end(again);
  return text;
}

std::string FormatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatTextV(format, args);
  va_end(args);
  return text;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  std::string result;
  for (size_t at = 0;;) {
    const size_t found = from.empty() ? std::string_view::npos : text.find(from, at);
    result.append(text.substr(at, found - at));
    if (found == std::string_view::npos) return result;
    result.append(to);
    at = found + from.size();
  }
}
