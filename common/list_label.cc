// The summary list file of the label formats of a PPD.
#include "file_rewrite.h"
#include "label_id.h"
#include "paper_size_tool.h"

int List_Label(const std::string& path) {
  TraceEnter(kTraceSource, "List_Label");
  LineReader in;
  if (!OpenLineReader(path, &in)) return -1;
  std::string list;
  std::string_view line;
  int formats = 0;
  while (fread_line_string(line, in) > 0) {
    LabelLine label;
    if (!line.starts_with("*PageSize") || !ParseLabelLine(line, &label)) continue;
    list.append(label.name).append("\n");
    list += std::to_string(label.width_mm) + "\n" + std::to_string(label.length_mm) + "\n";
    ++formats;
  }
  if (in.error != 0 || ReplaceFile(path + ".list", 0644, list) != 0) return -1;
  return formats;
}
