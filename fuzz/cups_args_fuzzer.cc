// Fuzzes the CUPS tool's command line.
#include <cstdlib>

#include "args_split.h"
#include "cups_tool.h"
#include "fixed_paths.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzRoot();
  CommandLine line = ParseCommandLine(SplitArguments(data, size));
  if (line.kind == RunKind::kUsage) return 0;
  const std::string& queue = line.printer;
  if (queue.empty() || queue.size() > 127) std::abort();
  for (char c : queue) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte <= 32 || byte == 127 || c == '/' || c == '\\' || c == '?' || c == '\'' || c == '"' ||
        c == '#') {
      std::abort();
    }
  }
  // The PPD path always stays inside the PPD directory.
  if (line.request.ppd_path != FixedPath(kPpdDir) + queue + ".ppd") std::abort();
  if (line.kind == RunKind::kAdd) {
    if (line.request.width_mm < 1 || line.request.width_mm > 255) std::abort();
    if (line.request.label_name.find_first_of(":\"\n\r") != std::string::npos) std::abort();
  }
  return 0;
}
