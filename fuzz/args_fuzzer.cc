// Fuzzes a tool's command-line reader (built once per tool; the LPRng one
// with CORVANE_LPRNG_BUILD): a request it accepts stays within the bounds of
// the files it goes into.  Zero bytes separate the arguments.
#include <algorithm>
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
#ifdef CORVANE_LPRNG_BUILD
  LprRequest request;
  LabelGeometry geometry;
  const RunKind kind = ParseCommandLine(args, &request, &geometry);
#else
  const auto [kind, request, geometry, queue, show] = ParseCommandLine(args);
#endif
  // Each name ends up on one line of a file: no control byte.
  const bool control =
      std::ranges::any_of(request.label_name, [](unsigned char c) { return c < 32 || c == 127; });
  if (kind == RunKind::kAdd &&
      (request.width_mm < 1 || request.width_mm > 255 || request.length_mm < 1 || control))
    std::abort();
  return 0;
}
