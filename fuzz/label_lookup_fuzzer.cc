// Fuzzes the line reader and Lookup_Label of one library build: every line
// comes back whole, and the look-up finds the first label line of the name
// (a "*PageSize" line in the CUPS build).  Input: a name, a zero byte, a file.
#include "fuzz_support.h"
#include "label_id.h"
#include "line_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = FixedPath(kPpdDir) + "fuzz.ppd";
  const auto [name, text] = Prepare(data, size, path);
  LineReader in;
  OpenLineReader(path, &in);
  std::string all, expected, id(kLabelIdLength + 1, 'x');
  std::string_view line;
  for (LabelLine label; fread_line_string(line, in) > 0;) {
    all += line;
#ifndef CORVANE_LPRNG_BUILD
    if (!line.starts_with("*PageSize")) continue;
#endif
    if (expected.empty() && ParseLabelLine(line, &label) && label.name == name)
      expected = std::string(line.substr(label.id_pos, kLabelIdLength)) + '\0';
  }
  const int found = Lookup_Label(path, name, id.data());
  if (all != text || found != (expected.empty() ? 0 : 1) || (found == 1 && id != expected)) {
    std::abort();
  }
  return 0;
}
