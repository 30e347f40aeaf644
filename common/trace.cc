// The entry trace: a hook every named operation calls first.
#include "paper_size_tool.h"

void TraceEnter(const char* /*source*/, const char* /*operation*/) {}
