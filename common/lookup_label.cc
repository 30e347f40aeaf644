// Finding a label format by name, in the CUPS build or the LPRng build.
#include <cstring>

#include "paper_size_tool.h"
#include "stdio_file.h"

#ifdef CORVANE_LPRNG_BUILD
inline constexpr bool kPageSizeLinesOnly = false;
inline constexpr int kUnreadableResult = 0;
#else
inline constexpr bool kPageSizeLinesOnly = true;
inline constexpr int kUnreadableResult = -1;
#endif

int Lookup_Label(const std::string& path, std::string_view name, char id[kLabelIdLength + 1]) {
  TraceEnter(kTraceSource, "Lookup_Label");
  StdioFile in(std::fopen(path.c_str(), "rb"));
  if (!in) return kUnreadableResult;
  LineBuffer buffer;
  int64_t count;
  while ((count = fread_line_string(buffer, in.get())) > 0) {
    std::string_view line(buffer.data, static_cast<size_t>(count));
    if (kPageSizeLinesOnly && !line.starts_with("*PageSize")) continue;
    LabelLine label;
    if (!ParseLabelLine(line, &label) || label.name != name) continue;
    std::memcpy(id, line.data() + label.id_pos, kLabelIdLength);
    id[kLabelIdLength] = '\0';
    return 1;
  }
  return 0;
}
