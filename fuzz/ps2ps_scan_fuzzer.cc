// Fuzzes cvps2ps's reading of a job's leading lines and its answer text.
#include <cstdio>
#include <cstdlib>

#include "page_shift.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* in = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (in == nullptr) return 0;
  std::string saved;
  ReadLeadingPageSizeLine(in, &saved);
  std::fclose(in);
  if (!saved.empty() && saved.find("PageSize") == std::string::npos) std::abort();
  PageSize page = ScanPageSize(saved);
  std::string answer = FormatAnswer(24, page, "pstops", "in%s.ps", "out\\n.ps");
  if (!answer.starts_with("PSCOMMAND=") || answer.ends_with('\n')) std::abort();
  return 0;
}
