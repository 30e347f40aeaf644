// cvps2ps: tells the LPRng print filter whether to shift the pages of a
// PostScript job (and by how much) or to copy it as it is.
//
// Usage: cvps2ps a1 a2 a3 a4 a5 shift command first second job
// Prints "PSCOMMAND=...\nCMDARGV=..." without a final line feed and exits 0
// (1 only when it runs out of memory); any other number of arguments prints
// nothing.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "page_shift.h"
#include "paper_size_tool.h"
#include "run_guarded.h"

namespace {

constexpr int kArgumentCount = 10;

int Answer(int /*argc*/, char* argv[]) {
  // Lenient on purpose: leading blanks skipped, trailing text ignored, a text
  // that is no number is a shift of 0.
  double shift_dots = std::strtod(argv[6], nullptr);

  std::string saved;
  LineReader job;
  const int result =
      OpenLineReader(argv[10], &job) ? ReadLeadingPageSizeLine(job, &saved) : kFileError;
  if (result != kDone) {
    std::fputs(kUnreadableJobMessage, stderr);
    return 0;
  }

  std::string answer = FormatAnswer(shift_dots, ScanPageSize(saved), argv[7], argv[8], argv[9]);
  std::fwrite(answer.data(), 1, answer.size(), stdout);
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != kArgumentCount + 1) return 0;
  return RunGuarded("cvps2ps", Answer, argc, argv);
}
