// Fuzzes the line reader, Lookup_Label and List_Label of one library build.
// The input holds a label name, a zero byte and the file's text.
#include "fuzz_support.h"
#include "paper_size_tool.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto [name, text] = SplitAtZero(data, size);
  const std::string path = FixedPath(kPpdDir) + "fuzz.ppd";
  WriteWholeFile(path, text);
  // Lines come back whole and in order.  The first label line of the name (a
  // "*PageSize" line in the CUPS build) holds the identifier to be found.
  LineReader in;
  if (!OpenLineReader(path, &in)) std::abort();
  std::string_view line;
  std::string expected, id(kLabelIdLength + 1, 'x');
  size_t total = 0;
  for (LabelLine label; fread_line_string(line, in) > 0; total += line.size()) {
    if (line != text.substr(total, line.size())) std::abort();
#ifndef CORVANE_LPRNG_BUILD
    if (!line.starts_with("*PageSize")) continue;
#endif
    if (expected.empty() && ParseLabelLine(line, &label) && label.name == name)
      expected = std::string(line.substr(label.id_pos, kLabelIdLength)) + '\0';
  }
  const int found = Lookup_Label(path, name, id.data());
  if (total != text.size() || found != (expected.empty() ? 0 : 1) || (found == 1 && id != expected))
    std::abort();
  if (List_Label(path) < 0) std::abort();
  return 0;
}
