// Fuzzes the line reader, the label-line parser, Lookup_Label and List_Label
// over arbitrary file contents (compiled once per library build).
#include <cstdlib>
#include <cstring>

#include "fuzz_support.h"
#include "paper_size_tool.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto [name, text] = SplitAtZero(data, size);
  const std::string path = FuzzRoot() + "/etc/cups/ppd/fuzz.ppd";
  WriteWholeFile(path, text);

  // Every line comes back whole and in order, and parsing stays inside it.
  LineReader in;
  if (!OpenLineReader(path, &in)) std::abort();
  std::string_view view;
  size_t total = 0;
  while (fread_line_string(view, in) > 0) {
    if (view != text.substr(total, view.size())) std::abort();
    total += view.size();
    LabelLine label;
    if (ParseLabelLine(view, &label)) {
      if (label.name.data() < view.data() ||
          label.name.data() + label.name.size() > view.data() + view.size()) {
        std::abort();
      }
    }
  }
  if (total != text.size()) std::abort();

  char id[kLabelIdLength + 1];
  std::memset(id, 'x', sizeof id);
  int found = Lookup_Label(path, name, id);
  if (found == 1 && (std::strlen(id) != kLabelIdLength || text.find(id) == std::string_view::npos)) {
    std::abort();
  }
  if (found != 0 && found != 1) std::abort();
  int listed = List_Label(path);
  if (listed < 0) std::abort();
  return 0;
}
