// Fuzzes the LPRng tool's command line, margin check and media record.
#include <cstdlib>

#include "args_split.h"
#include "lpr_tool.h"
#include "media_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  LprRequest request;
  LabelGeometry geometry;
  RunKind action = ParseCommandLine(SplitArguments(data, size), &request, &geometry);
  if (action == RunKind::kUsage) return 0;
  if (request.printer.empty()) std::abort();
  if (action == RunKind::kList) return 0;
  if (request.label_name.empty()) std::abort();
  if (action == RunKind::kAdd) {
    if (request.width_mm < 1 || request.width_mm > 255 || request.length_mm < 1) std::abort();
    for (char c : request.label_name) {
      unsigned char byte = static_cast<unsigned char>(c);
      if (c == '/' || byte < 32 || byte == 127) std::abort();
    }
  }
  MarginRange range;
  CheckWideMediaMargins(geometry, &range);
  MarginErrorText(range);
  geometry.resolution = kResolutionDpi;
  geometry.max_print_width = kMaxPrintWidthDots;
  MediaRecord record{};
  MakeMediaRecord(record, geometry, request.media_kind);
  // The size texts never run into their neighbours.
  if (record[91] != 0 || record[107] != 0) std::abort();
  return 0;
}
