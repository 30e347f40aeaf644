// The two process-wide values of the CUPS paper-size tool.
#include "cups_tool.h"

std::string printer_name;
int show_output = 1;
