// Fuzzes a tool's command-line reader (built once per tool; the LPRng one
// with CORVANE_LPRNG_BUILD): what it accepts stays within the tool's bounds.
// Zero bytes separate the arguments.
#include <sstream>
#include <vector>

#include "fuzz_support.h"
#ifdef CORVANE_LPRNG_BUILD
#include "lpr_tool.h"
#include "media_record.h"
#else
#include "cups_tool.h"
#endif

// Whether `text` holds a byte below `lowest`, 127 or one of `others`.
static bool Holds(std::string_view text, unsigned char lowest, std::string_view others) {
  for (unsigned char c : text)
    if (c < lowest || c == 127 || others.find(static_cast<char>(c)) != others.npos) return true;
  return false;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream input(std::string(reinterpret_cast<const char*>(data), size));
  std::vector<std::string> args;
  for (std::string arg; std::getline(input, arg, '\0');) args.push_back(arg);
#ifdef CORVANE_LPRNG_BUILD
  LprRequest request;
  LabelGeometry geometry;
  const RunKind kind = ParseCommandLine(args, &request, &geometry);
  const bool bad_name = Holds(request.label_name, 32, "/");
  MediaRecord record{};
  MakeMediaRecord(record, geometry, request.media_kind);
  if (record[91] != 0 || record[107] != 0) std::abort();  // the size texts never overrun
#else
  const auto [kind, request, geometry, queue, show] = ParseCommandLine(args);
  const bool bad_name = Holds(request.label_name, 32, ":\"");
  if (kind != RunKind::kUsage && (queue.size() > 127 || Holds(queue, 33, "/\\?'\"#"))) std::abort();
#endif
  if (kind == RunKind::kAdd && (request.width_mm < 1 || request.width_mm > 255 ||
                                request.length_mm < 1 || bad_name))
    std::abort();
  return 0;
}
