// printf-style formatting into strings of any length.
#pragma once

#include <string>

// Formats like printf into a string as long as the result needs.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
