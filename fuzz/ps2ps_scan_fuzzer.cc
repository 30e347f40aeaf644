// Fuzzes cvps2ps's reading of a job's leading lines and its answer text.
#include <cstdlib>

#include "fuzz_support.h"
#include "page_shift.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = FuzzRoot() + "/job.ps";
  WriteWholeFile(path, std::string_view(reinterpret_cast<const char*>(data), size));
  LineReader in;
  if (!OpenLineReader(path, &in)) std::abort();
  std::string saved;
  ReadLeadingPageSizeLine(in, &saved);
  if (!saved.empty() && saved.find("PageSize") == std::string::npos) std::abort();
  PageSize page = ScanPageSize(saved);
  std::string answer = FormatAnswer(24, page, "pstops", "in%s.ps", "out\\n.ps");
  if (!answer.starts_with("PSCOMMAND=") || answer.ends_with('\n')) std::abort();
  return 0;
}
