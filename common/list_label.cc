// Writing the summary list of a PPD's label formats.
#include "line_stream.h"
#include "paper_size_tool.h"
#include "stdio_file.h"

int List_Label(const std::string& path) {
  TraceEnter(kTraceSource, "List_Label");
  LineReader in;
  if (!OpenLineReader(path, &in)) return -1;
  StdioFile list(std::fopen((path + ".list").c_str(), "wb"));
  if (!list) return -1;
  std::string_view line;
  int formats = 0;
  while (fread_line_string(line, in) > 0) {
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
