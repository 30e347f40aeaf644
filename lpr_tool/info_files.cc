// The changes of the information files that additions and removals share.
#include "info_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "driver_tree.h"
#include "file_rewrite.h"
#include "label_id.h"
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

// Rewrites request->work_path, leaving out the lines of `old_ids` and
// appending `entry`.
int DropAndAppend(LprRequest* request, const std::vector<std::string>& old_ids,
                  const std::string& entry) {
  return RewriteFile(
      request->work_path, kInfoFileMode,
      [&old_ids](std::string_view line, LineWriter& out) {
        if (!HoldsAny(line, old_ids)) WriteText(line, out);
      },
      [&entry](LineWriter& out) { WriteText(entry, out); });
}

// The settings file: each line naming an old identifier names the new one
// (`new_id`), or is reset when there is none.
int RenameInSettings(LprRequest* request, const std::vector<std::string>& old_ids,
                     const std::string& new_id) {
  request->work_path = SettingsPath(request->model);
  auto rename = [&](std::string_view line, LineWriter& out) {
    if (!HoldsAny(line, old_ids)) return WriteText(line, out);
    if (new_id.empty()) return WriteText(kMediaSizeReset, out);
    std::string renamed(line);
    for (const std::string& id : old_ids) renamed = ReplaceAll(renamed, id, new_id);
    WriteText(renamed, out);
  };
  if (RewriteFile(request->work_path, kInfoFileMode, rename, AddNothing) == 0) return kDone;
  return errno == ENOENT ? kDone : kFileError;  // a missing file names nothing
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
  const InfoEntries& entries = added != nullptr ? *added : none;
  request->work_path = PrintAreaPath(request->model);
  if (DropAndAppend(request, old_ids, entries.print_area) != 0) return kFileError;
  if (!old_ids.empty() && RenameInSettings(request, old_ids, entries.id) != kDone)
    return kFileError;
  request->work_path = ImagingAreaPath(request->model);
  if (DropAndAppend(request, old_ids, entries.imaging_area) != 0) return kFileError;
  request->work_path = PaperDimensionPath(request->model);
  if (DropAndAppend(request, old_ids, entries.paper_dimension) != 0) return kFileError;
  request->work_path = TapeListPath(request->model);
  auto after_section = [&](std::string_view line, LineWriter& out) {
    if (HoldsAny(line, old_ids)) return;
    WriteText(line, out);
    if (line.find(kCustomTapeSection) != std::string_view::npos) WriteText(entries.tape_list, out);
  };
  if (RewriteFile(request->work_path, kInfoFileMode, after_section, AddNothing) != 0)
    return kFileError;
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
