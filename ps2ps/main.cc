// cvps2ps a1 a2 a3 a4 a5 shift command first second job: tells the LPRng print
// filter whether to shift a PostScript job's pages, and by how much, or to copy
// it.  Any other number of arguments prints nothing; the status is always 0.
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
  // An unexpected failure is named on standard error, but the status stays 0.
  RunGuarded("cvps2ps", Answer, argc, argv);
  return 0;
}
