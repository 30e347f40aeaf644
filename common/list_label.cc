// The summary list file of the label formats of a PPD.
#include "file_rewrite.h"
#include "label_id.h"
#include "paper_size_tool.h"

int List_Label(const std::string& path) {
  TraceEnter(kTraceSource, "List_Label");
  std::string list;
  int formats = 0;
  const bool read = ForEachLabelLine(path, "*PageSize", [&](const LabelLine& label, auto) {
    list.append(label.name).append("\n");
    list += std::to_string(label.width_mm) + "\n" + std::to_string(label.length_mm) + "\n";
    ++formats;
  });
  if (!read || ReplaceFile(path + ".list", 0644, list) != 0) return -1;
  return formats;
}
