// cvps2ps: tells the LPRng print filter whether to shift the pages of a
// PostScript job (and by how much) or to copy it as it is.
//
// Usage: cvps2ps a1 a2 a3 a4 a5 shift command first second job
// Prints "PSCOMMAND=...\nCMDARGV=..." without a final line feed; any other
// number of arguments prints nothing.  Exits 0 on every path.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "page_shift.h"
#include "run_guarded.h"

namespace {

constexpr int kArgumentCount = 10;

int Answer(int /*argc*/, char* argv[]) {
  // Lenient on purpose: leading blanks skipped, trailing text ignored, a text
  // that is no number is a shift of 0.
  double shift_dots = std::strtod(argv[6], nullptr);

  LineReader job;
  if (!OpenLineReader(argv[10], &job)) {
    std::fputs(kUnreadableJobMessage, stderr);
    return 0;
  }

  std::string answer = FormatAnswer(shift_dots, ScanPageSize(ReadLeadingPageSizeLine(job)), argv[7],
                                    argv[8], argv[9]);
  std::fwrite(answer.data(), 1, answer.size(), stdout);
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != kArgumentCount + 1) return 0;
  // The print filter is always given status 0; an unexpected failure is still
  // named on standard error.
  RunGuarded("cvps2ps", Answer, argc, argv);
  return 0;
}
