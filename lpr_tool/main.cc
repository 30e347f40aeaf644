// cvpapertoollpr_<model>: adds a label format to, or removes one from, a
// model's LPRng information files and its CUPS queue.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "driver_tree.h"
#include "lpr_tool.h"
#include "media_record.h"
#include "run_lock.h"

namespace {

// Turns the result of RemoveLabel or AddLabel into an exit status.  Only a
// removal's file error has a message, the system's text for errno.
int FailureStatus(int result, bool report_file_error) {
  if (result == kFileError && report_file_error) std::printf("%s\n", std::strerror(errno));
  return kExitFailure;
}

// Prints the label formats of the model's information files.
int List(const LprRequest& request) {
  std::string listing;
  if (ListLabels(request, &listing) != kDone) return FailureStatus(kFileError, true);
  std::fwrite(listing.data(), 1, listing.size(), stdout);
  return kExitSuccess;
}

// Adds (with its media file) or removes the label format of a valid request.
int Change(RunKind action, const LprRequest& request, const LabelGeometry& geometry,
           const MediaRecord& record) {
  // Overlapping runs for one model wait for each other.  The CUPS tool takes
  // its own lock on the PPD directory, so this one must be a different one.
  RunLock lock;
  LockDirectory(InfoDirectory(request.model), &lock);
  if (action == RunKind::kAdd &&
      WriteMediaFile(MediaFilePath(request.model, request.label_name), record) != 0) {
    std::printf("%s\n", std::strerror(errno));
    return kExitFailure;
  }
  // An addition replaces an earlier label format of the same name.
  const int removed = RemoveLabel(request, geometry);
  if (removed != kDone && removed != kNotPresent) return FailureStatus(removed, true);
  if (action == RunKind::kRemove) return kExitSuccess;
  const int added = AddLabel(request, geometry);
  return added == kDone ? kExitSuccess : FailureStatus(added, false);
}

int RunTool(int argc, char** argv) {
  const std::string program = argc > 0 && argv[0] != nullptr ? argv[0] : "";
  LprRequest request;
  LabelGeometry geometry;
  request.model = FindModel(program);
  if (request.model.empty()) {
    std::printf("%s is invalid.\n\n", program.c_str());
    return kExitSuccess;
  }
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const RunKind action = ParseCommandLine(args, &request, &geometry);
  if (action == RunKind::kUsage) {
    DisplayHelp();
    return kExitSuccess;
  }
  if (action == RunKind::kList) return List(request);
  MarginRange range;
  if (!CheckWideMediaMargins(geometry, &range)) {
    std::fputs(MarginErrorText(range).c_str(), stdout);
    return kExitSuccess;
  }
  geometry.resolution = kResolutionDpi;
  geometry.max_print_width = kMaxPrintWidthDots;
  MediaRecord record{};
  MakeMediaRecord(record, geometry, request.media_kind);
  return Change(action, request, geometry, record);
}

}  // namespace

int main(int argc, char** argv) {
  TraceEnter(kTraceSource, "main");
  return RunGuarded("cvpapertoollpr", RunTool, argc, argv);
}
