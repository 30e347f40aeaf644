// The changes of the information files that additions and removals share.
#include "info_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "driver_tree.h"
#include "file_rewrite.h"
#include "label_id.h"
#include "line_stream.h"
#include "text_format.h"

namespace {

// Information files are rewritten with this mode.
constexpr mode_t kInfoFileMode = 0666;
constexpr std::string_view kCustomTapeSection = "[CustomTape]";
// Written in place of each settings line that names a removed label format.
constexpr std::string_view kMediaSizeReset = "MediaSize=50x30\n";

bool HoldsAny(std::string_view line, const std::vector<std::string>& ids) {
  return std::ranges::any_of(
      ids, [line](const std::string& id) { return line.find(id) != std::string_view::npos; });
}

bool Holds(std::string_view line, std::string_view id) {
  return !id.empty() && line.find(id) != std::string_view::npos;
}

// What one change does to every file: the lines of `old_ids` go, and with
// `kept` (an old identifier the added entries carry on) those lines are
// replaced where they stand.
struct InfoChange {
  const std::vector<std::string>& old_ids;
  const InfoEntries& entries;
  std::string kept;
};

// Rewrites `path` through `edit` and `finish`.  A change that keeps its
// identifier may leave a file as it is; such a file is not written at all.
// `restart` undoes what a look at the file left in the steps' state.
int Rewrite(
    const InfoChange& change, const std::string& path, const LineEdit& edit,
    const FinishEdit& finish, const std::function<void()>& restart = [] {}) {
  if (!change.kept.empty()) {
    const int changes = EditChangesFile(path, edit, finish);
    if (changes <= 0) return changes;
    restart();
  }
  return RewriteFile(path, kInfoFileMode, edit, finish);
}

// A file of appended entries: the lines of the kept identifier become
// `entry`, those of the other old identifiers go, and `entry` is appended
// when no line was the kept one's.
int ReplaceEntry(const InfoChange& change, const std::string& path, const std::string& entry) {
  bool placed = false;
  auto edit = [&](std::string_view line, LineWriter& out) {
    if (Holds(line, change.kept)) {
      WriteText(entry, out);
      placed = true;
    } else if (!HoldsAny(line, change.old_ids)) {
      WriteText(line, out);
    }
  };
  auto finish = [&](LineWriter& out) {
    if (!placed) WriteText(entry, out);
  };
  return Rewrite(change, path, edit, finish, [&placed] { placed = false; });
}

// The settings file: each line naming an old identifier names the added one,
// or is reset when nothing is added.
int RenameInSettings(const InfoChange& change, const std::string& path) {
  auto rename = [&](std::string_view line, LineWriter& out) {
    if (!HoldsAny(line, change.old_ids)) return WriteText(line, out);
    if (change.entries.id.empty()) return WriteText(kMediaSizeReset, out);
    std::string renamed(line);
    for (const std::string& id : change.old_ids)
      renamed = ReplaceAll(renamed, id, change.entries.id);
    WriteText(renamed, out);
  };
  if (Rewrite(change, path, rename, AddNothing) == 0) return kDone;
  return errno == ENOENT ? kDone : kFileError;  // a missing file names nothing
}

// Whether a line of the file at `path` holds `id`; false when it cannot be read.
bool FileHolds(const std::string& path, std::string_view id) {
  LineReader in;
  if (!OpenLineReader(path, &in)) return false;
  std::string_view line;
  while (fread_line_string(line, in) > 0) {
    if (Holds(line, id)) return true;
  }
  return false;
}

// The tape list: the kept identifier's lines become the entry where they
// stand, or the entry goes after every "[CustomTape]" line.
int ReplaceInTapeList(const InfoChange& change, const std::string& path) {
  const std::string& entry = change.entries.tape_list;
  const bool listed = FileHolds(path, change.kept);
  auto edit = [&](std::string_view line, LineWriter& out) {
    if (Holds(line, change.kept)) return WriteText(entry, out);
    if (HoldsAny(line, change.old_ids)) return;
    WriteText(line, out);
    if (!listed && line.find(kCustomTapeSection) != std::string_view::npos) WriteText(entry, out);
  };
  return Rewrite(change, path, edit, AddNothing);
}

}  // namespace

std::vector<std::string> NamedLabelIds(const std::string& model, const std::string& name) {
  std::vector<std::string> ids;
  FindLabelIds(TapeListPath(model), "", name, &ids);
  FindLabelIds(PrintAreaPath(model), "", name, &ids);
  return ids;
}

int ChangeInfoFiles(LprRequest* request, const std::vector<std::string>& old_ids,
                    const InfoEntries* added) {
  const InfoEntries none;
  InfoChange change{old_ids, added != nullptr ? *added : none, ""};
  if (std::ranges::find(old_ids, change.entries.id) != old_ids.end())
    change.kept = change.entries.id;
  const std::string& model = request->model;
  request->work_path = PrintAreaPath(model);
  if (ReplaceEntry(change, request->work_path, change.entries.print_area) != 0) return kFileError;
  request->work_path = SettingsPath(model);
  if (!old_ids.empty() && RenameInSettings(change, request->work_path) != kDone) return kFileError;
  request->work_path = ImagingAreaPath(model);
  if (ReplaceEntry(change, request->work_path, change.entries.imaging_area) != 0) return kFileError;
  request->work_path = PaperDimensionPath(model);
  if (ReplaceEntry(change, request->work_path, change.entries.paper_dimension) != 0)
    return kFileError;
  request->work_path = TapeListPath(model);
  if (ReplaceInTapeList(change, request->work_path) != 0) return kFileError;
  return kDone;
}

void ReportFailure(const LprRequest& request, const std::string& what) {
  std::fprintf(stderr, "cvpapertoollpr_%s: %s\n", request.model.c_str(), what.c_str());
}

void ReportFileFailure(const LprRequest& request) {
  ReportFailure(request, request.work_path + ": " + std::strerror(errno));
}

std::string CupsToolFailed(const LprRequest& request, int status) {
  return CupsToolProgram(request.model) + " failed (status " + std::to_string(status) + ")";
}
