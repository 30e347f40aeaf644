// The entry trace, in a file of its own so that a program that calls it does
// not carry the debug log too.
#include "paper_size_tool.h"

void TraceEnter(const char* /*source*/, const char* /*operation*/) {}
