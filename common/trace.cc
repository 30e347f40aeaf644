// The entry trace, apart so that its callers do not pull in the debug log.
#include "paper_size_tool.h"

void TraceEnter(const char* /*source*/, const char* /*operation*/) {}
