// The lenient number readings of the command lines.
#include "number_reading.h"

#include <cstdlib>

int64_t ReadInteger(const char* text) { return std::strtol(text, nullptr, 10); }

double ReadFraction(const char* text) { return std::strtod(text, nullptr); }
