// printf-style formatting into strings of any length, and text replacement.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

// Formats like printf into a string as long as the result needs.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The same with the arguments as a va_list (which it does not end).
std::string FormatTextV(const char* format, va_list args) __attribute__((format(printf, 1, 0)));

// `text` with every occurrence of `from` replaced by `to`.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
