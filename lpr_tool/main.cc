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
int ReportErrno(int error) {
  std::printf("%s\n", std::strerror(error));
  return kExitFailure;
}

// Tells the notes and the failure of `outcome` on standard error, a line
// each that begins with "cvpapertoollpr_<model>: ", a file error as
// "<file>: <errno's text>"; gives the exit status.
int Report(const Outcome& outcome, const std::string& model) {
  std::string failure = outcome.failed;
  if (outcome.code == kFileError) failure += std::string(": ") + std::strerror(outcome.error);
  for (const std::string& line : outcome.notes)
    std::fprintf(stderr, "cvpapertoollpr_%s: %s\n", model.c_str(), line.c_str());
  if (!failure.empty())
    std::fprintf(stderr, "cvpapertoollpr_%s: %s\n", model.c_str(), failure.c_str());
  return outcome.code == kDone || outcome.code == kNotPresent ? kExitSuccess : kExitFailure;
}

// Lists the model's formats and prints them.
int List(const LprRequest& request) {
  std::string listing;
  const Outcome listed = ListModelFormats(request, &listing);
  std::fwrite(listing.data(), 1, listing.size(), stdout);
  return Report(listed, request.model);
}

// Syncs the queue's PPD with the model's formats and lists those it restored.
// The plan's notes come before whatever the CUPS tool says.
int Sync(const LprRequest& request) {
  const RunLock lock(InfoDirectory(request.model));
  SyncPlan plan;
  const Outcome planned = PlanSync(request, &plan);
  const int status = Report(planned, request.model);
  if (planned.code != kDone) return status;
  const Outcome synced = RunSync(request, plan);
  if (synced.code == kDone) std::fwrite(plan.listing.data(), 1, plan.listing.size(), stdout);
  return Report(synced, request.model);
}

// Adds (with its media file) or removes the label format of a valid request.
int Change(RunKind action, const LprRequest& request, const LabelGeometry& geometry,
           const MediaRecord& record) {
  // Overlapping runs for one model wait for each other.  The CUPS tool takes
  // its own lock on the PPD directory, so this one must be a different one.
  const RunLock lock(InfoDirectory(request.model));
  if (action == RunKind::kRemove) {
    const Outcome removed = RemoveLabel(request, geometry);
    if (removed.code == kFileError) return ReportErrno(removed.error);
    return Report(removed, request.model);
  }
  // The media file changes only with the rest of the format: its new content
  // waits beside it until the PPD and the information files have taken it.
  StagedFile media;
  if (StageMediaFile(MediaFilePath(request.model, request.label_name), record, &media) != 0)
    return ReportErrno(errno);
  Outcome added = AddLabel(request, geometry);
  if (added.code == kDone && CommitStagedFile(&media) != 0) {
    const int error = errno;
    added = Failure(added, kFileError, media.path, error);
  }
  return Report(added, request.model);
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
  if (line.kind == RunKind::kList) return List(line.request);
  if (line.kind == RunKind::kSync) return Sync(line.request);
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
