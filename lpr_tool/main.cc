// cvpapertoollpr_<model>: adds a label format to, or removes one from, a
// model's LPRng information files and its CUPS queue; lists the model's label
// formats, or puts them back into a queue's PPD.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "driver_tree.h"
#include "info_files.h"
#include "lpr_tool.h"
#include "media_record.h"
#include "run_guarded.h"
#include "run_lock.h"
#include "units.h"

namespace {

// Prints the system's text for errno, as a file error of a removal has always been told.
int ReportErrno() {
  std::printf("%s\n", std::strerror(errno));
  return kExitFailure;
}

// Lists the model's formats, or syncs the queue's PPD with them, and prints
// what came of it.
int ListOrSync(RunKind kind, const LprRequest& request) {
  std::string out;
  int result = kDone;
  if (kind == RunKind::kList) {
    result = ListModelFormats(request, &out);
  } else {
    const RunLock lock(InfoDirectory(request.model));
    result = SyncQueue(request, &out);
  }
  // Failures are named on standard error: standard output holds listing lines only.
  std::fwrite(out.data(), 1, out.size(), stdout);
  return result == kDone ? kExitSuccess : kExitFailure;
}

// Adds (with its media file) or removes the label format of a valid request.
int Change(RunKind action, const LprRequest& request, const LabelGeometry& geometry,
           const MediaRecord& record) {
  // Overlapping runs for one model wait for each other.  The CUPS tool takes
  // its own lock on the PPD directory, so this one must be a different one.
  const RunLock lock(InfoDirectory(request.model));
  if (action == RunKind::kRemove) {
    const int removed = RemoveLabel(request, geometry);
    if (removed == kFileError) return ReportErrno();
    return removed == kCommandError ? kExitFailure : kExitSuccess;
  }
  // The media file changes only with the rest of the format: its new content
  // waits beside it until the PPD and the information files have taken it.
  StagedFile media;
  if (StageMediaFile(MediaFilePath(request.model, request.label_name), record, &media) != 0)
    return ReportErrno();
  if (AddLabel(request, geometry) != kDone) return kExitFailure;
  if (CommitStagedFile(&media) == 0) return kExitSuccess;
  ReportFailure(request, media.path + ": " + std::strerror(errno));
  return kExitFailure;
}

int RunTool(int argc, char** argv) {
  const std::string program = argc > 0 && argv[0] != nullptr ? argv[0] : "";
  const std::string model = FindModel(program);
  if (model.empty()) {
    std::printf("%s is invalid.\n\n", program.c_str());
    return kExitSuccess;
  }
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  LprCommandLine line = ParseCommandLine(args);
  line.request.model = model;
  if (line.kind == RunKind::kUsage) {
    DisplayHelp();
    return kExitSuccess;
  }
  if (line.kind == RunKind::kList || line.kind == RunKind::kSync)
    return ListOrSync(line.kind, line.request);
  MarginRange range;
  if (!CheckWideMediaMargins(line.geometry, &range)) {
    std::fputs(MarginErrorText(range).c_str(), stdout);
    return kExitSuccess;
  }
  line.geometry.resolution = kDotsPerInch;
  line.geometry.max_print_width = kMaxPrintWidthDots;
  MediaRecord record{};
  MakeMediaRecord(record, line.geometry, line.request.media_kind);
  return Change(line.kind, line.request, line.geometry, record);
}

}  // namespace

int main(int argc, char** argv) {
  TraceEnter(kTraceSource, "main");
  return RunGuarded("cvpapertoollpr", RunTool, argc, argv);
}
