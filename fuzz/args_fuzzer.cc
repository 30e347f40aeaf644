// Fuzzes a tool's command-line reader (built once per tool; the LPRng one with
// CORVANE_LPRNG_BUILD): a command line of any bytes is read without a fault
// that the sanitizers see.  Zero bytes separate the arguments.
#include <sstream>
#include <vector>

#include "fuzz_support.h"
#ifdef CORVANE_LPRNG_BUILD
#include "lpr_tool.h"
#else
#include "cups_tool.h"
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream input(std::string(reinterpret_cast<const char*>(data), size));
  std::vector<std::string> args;
  for (std::string arg; std::getline(input, arg, '\0');) args.push_back(arg);
  ParseCommandLine(args);
  return 0;
}
