// Finding a label format by name, in the CUPS build or the LPRng build.
#include <cstring>

#include "line_stream.h"
#include "paper_size_tool.h"

#ifdef CORVANE_LPRNG_BUILD
inline constexpr bool kPageSizeLinesOnly = false;
inline constexpr int kUnreadableResult = 0;
#else
inline constexpr bool kPageSizeLinesOnly = true;
inline constexpr int kUnreadableResult = -1;
#endif

int Lookup_Label(const std::string& path, std::string_view name, char id[kLabelIdLength + 1]) {
  TraceEnter(kTraceSource, "Lookup_Label");
  LineReader in;
  if (!OpenLineReader(path, &in)) return kUnreadableResult;
  // Only a line that holds the name can carry it: the others are passed over
  // in large runs.
  const std::vector<std::string_view> markers = {name.empty() ? kLabelIdPrefix : name};
  std::string_view line;
  while (ReadMarkedLine(in, markers, line, [](std::string_view) {}) > 0) {
    if (kPageSizeLinesOnly && !line.starts_with("*PageSize")) continue;
    LabelLine label;
    if (!ParseLabelLine(line, &label) || label.name != name) continue;
    std::memcpy(id, line.data() + label.id_pos, kLabelIdLength);
    id[kLabelIdLength] = '\0';
    return 1;
  }
  return 0;
}
