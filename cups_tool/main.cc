// cvpapertoolcups: adds a label format to, or removes one from, a CUPS queue's
// PPD, lists the label formats it holds, or puts several into it at once.
#include <cstdio>
#include <cstring>

#include "cups_tool.h"
#include "fixed_paths.h"
#include "run_guarded.h"
#include "run_lock.h"

namespace {

// Exit statuses: a file could not be read or written (or, for a sync, the
// queue was not changed); everything else ends with success, a failed CUPS
// command of an addition or removal included.
constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;

// Writes "cvpapertoolcups: queue <queue><what><text>" on standard error,
// whatever -show says.
void Say(const char* what, const std::string& text) {
  std::fprintf(stderr, "cvpapertoolcups: queue %s%s%s\n", printer_name.c_str(), what, text.c_str());
}

// Tells what an addition, removal or listing came to and gives its exit
// status: a file error also as errno's text on standard output (unless
// silenced); a failed CUPS command ends with success all the same.
int Report(const Outcome& outcome, const LabelRequest& request) {
  for (const std::string& note : outcome.notes) Say(": ", note);
  switch (outcome.code) {
    case kFileError:
      if (outcome.failed == request.ppd_path) {
        Say(": cannot read its PPD ", request.ppd_path + ": " + std::strerror(outcome.error));
      }
      if (show_output != 0) std::printf("%s\n", std::strerror(outcome.error));
      return kExitFailure;
    case kCommandError:
    case kNoPlaceInPpd:
      Say(" not changed: ", outcome.failed);
      return outcome.code == kNoPlaceInPpd ? kExitFailure : kExitSuccess;
    default:
      return kExitSuccess;
  }
}

int List(const LabelRequest& request) {
  // Read-only: no lock, no scratch file, no CUPS command.
  std::string listing;
  const Outcome listed = ListQueueFormats(request, &listing);
  if (listed.code == kDone) std::fwrite(listing.data(), 1, listing.size(), stdout);
  return Report(listed, request);
}

// The parts of `text` between the separators `separator`.
std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  for (size_t at = 0;;) {
    const size_t end = text.find(separator, at);
    parts.emplace_back(text.substr(at, end - at));
    if (end == std::string_view::npos) return parts;
    at = end + 1;
  }
}

// Reads the formats of a sync from standard input: a line each, holding the
// arguments of its addition after "-P <queue>", TABs between them, with its
// "-specid".  Returns false after reporting the first line that is none.
bool ReadSyncFormats(const std::string& queue, std::vector<LabelFormat>* formats) {
  std::string input;
  char block[4096];
  for (size_t got; (got = std::fread(block, 1, sizeof block, stdin)) > 0;) input.append(block, got);
  if (input.ends_with('\n')) input.pop_back();
  if (input.empty()) return true;
  const std::vector<std::string> lines = Split(input, '\n');
  for (size_t i = 0; i < lines.size(); ++i) {
    std::vector<std::string> args = {"-P", queue};
    for (std::string& word : Split(lines[i], '\t')) args.push_back(std::move(word));
    const CommandLine line = ParseCommandLine(args);
    if (line.kind != RunKind::kAdd || line.request.label_id.empty()) {
      Say(" not changed: ", "format " + std::to_string(i + 1) + " is no addition with -specid");
      return false;
    }
    formats->push_back({line.request, line.geometry});
  }
  return true;
}

int Sync(const LabelRequest& request) {
  std::vector<LabelFormat> formats;
  if (!ReadSyncFormats(printer_name, &formats)) return kExitFailure;
  const RunLock lock(FixedPath(kPpdDir));
  Outcome synced = SyncLabels(request.ppd_path, formats);
  if (synced.code == kFileError) synced.failed = std::strerror(synced.error);
  for (const std::string& note : synced.notes) Say(": ", note);
  if (synced.code != kDone) Say(" not changed: ", synced.failed);
  return synced.code == kDone ? kExitSuccess : kExitFailure;
}

int RunTool(int argc, char** argv) {
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const CommandLine line = ParseCommandLine(args);
  show_output = line.show_output;
  printer_name = line.printer;
  switch (line.kind) {
    case RunKind::kUsage:
      DisplayHelp();
      return kExitSuccess;
    case RunKind::kList:
      return List(line.request);
    case RunKind::kSync:
      return Sync(line.request);
    case RunKind::kAdd:
    case RunKind::kRemove:
      break;
  }
  // Overlapping runs would share the scratch files and lose each other's
  // edits, so each run waits for the one before it to end.
  const RunLock lock(FixedPath(kPpdDir));
  return Report(line.kind == RunKind::kAdd ? AddLabel(line.request, line.geometry)
                                           : RemoveLabel(line.request),
                line.request);
}

}  // namespace

int main(int argc, char** argv) {
  TraceEnter(kTraceSource, "main");
  return RunGuarded("cvpapertoolcups", RunTool, argc, argv);
}
