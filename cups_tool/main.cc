// cvpapertoolcups: adds a label format to, or removes one from, a CUPS queue's
// PPD, or lists the label formats it holds.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cups_tool.h"
#include "fixed_paths.h"
#include "run_lock.h"

namespace {

// Reports the file error in errno (unless silenced) and gives exit status 1.
int ReportFileError() {
  const int error = errno;
  if (show_output != 0) std::printf("%s\n", std::strerror(error));
  return 1;
}

int RunTool(int argc, char** argv) {
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const CommandLine line = ParseCommandLine(args);
  show_output = line.show_output;
  if (line.kind == RunKind::kUsage) {
    DisplayHelp();
    return 0;
  }
  printer_name = line.printer;
  if (line.kind == RunKind::kList) {
    // Read-only: no lock, no scratch file, no CUPS command.
    std::string listing;
    if (ListLabels(line.request, &listing) != kDone) return ReportFileError();
    std::fwrite(listing.data(), 1, listing.size(), stdout);
    return 0;
  }
  // Overlapping runs would share the scratch files and lose each other's
  // edits, so each run waits for the one before it to end.
  RunLock lock;
  LockDirectory(FixedPath(kPpdDir), &lock);
  // An addition first removes a format of the same name, so it replaces it.
  int result = RemoveLabel(line.request);
  if (result != kFileError && line.kind == RunKind::kAdd) {
    result = AddLabel(line.request, line.geometry);
  }
  // A failed CUPS command ends the run with status 0 all the same.
  return result == kFileError ? ReportFileError() : 0;
}

}  // namespace

int main(int argc, char** argv) {
  TraceEnter(kTraceSource, "main");
  return RunGuarded("cvpapertoolcups", RunTool, argc, argv);
}
