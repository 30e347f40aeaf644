// Writing the summary list of a PPD's label formats.
#include "paper_size_tool.h"
#include "stdio_file.h"

int List_Label(const std::string& path) {
  TraceEnter(kTraceSource, "List_Label");
  StdioFile in(std::fopen(path.c_str(), "rb"));
  if (!in) return -1;
  StdioFile list(std::fopen((path + ".list").c_str(), "wb"));
  if (!list) return -1;
  LineBuffer buffer;
  int64_t count;
  int formats = 0;
  while ((count = fread_line_string(buffer, in.get())) > 0) {
    std::string_view line(buffer.data, static_cast<size_t>(count));
    LabelLine label;
    if (!line.starts_with("*PageSize") || !ParseLabelLine(line, &label)) continue;
    WriteText(label.name, list.get());
    WriteText("\n", list.get());
    WriteText(std::to_string(label.width_mm) + "\n", list.get());
    WriteText(std::to_string(label.length_mm) + "\n", list.get());
    ++formats;
  }
  return formats;
}
