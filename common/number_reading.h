// The lenient number readings of the command lines.
#pragma once

#include <cstdint>

// Reads a decimal integer the way strtol(text, nullptr, 10) does: leading
// white space skipped, reading stops at the first character that cannot
// continue the number, a text without a number reads as 0.
int64_t ReadInteger(const char* text);

// Reads a floating value the way strtod does, with the same leniency.
double ReadFraction(const char* text);
