// The changes of the information files that additions and removals share.
#include "info_files.h"

#include <algorithm>
#include <cerrno>
#include <functional>
#include <iterator>
#include <set>

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
const std::string kMediaSizeReset = std::string("MediaSize=") + kFallbackPageSize + "\n";

bool HoldsAny(std::string_view line, const std::vector<std::string>& ids) {
  return std::ranges::any_of(
      ids, [line](const std::string& id) { return line.find(id) != std::string_view::npos; });
}

bool Holds(std::string_view line, std::string_view id) {
  return !id.empty() && line.find(id) != std::string_view::npos;
}

// What one change does to every file: the lines of `old_ids` go, and the
// lines of `kept` (the added identifier, when there is one) become its entry
// where they stand.
struct InfoChange {
  std::vector<std::string> old_ids;
  const InfoEntries& entries;
  std::string kept;
};

// The lines one rewrite writes.  Each line's ending is held back until the
// next line or the end of the file: an entry always starts a line of its own,
// and the file ends with or without a line feed as it did, so that an entry
// added and removed again leaves it byte for byte as it was.
struct InfoLines {
  std::string pending;  // the held-back ending of the last line written
  bool wrote = false;
  bool unended = false;  // the last line read had no line ending
  bool placed = false;   // the kept identifier's entry is written

  void Put(std::string_view text, std::string_view ending, LineWriter& out) {
    if (wrote) WriteText(pending.empty() ? "\n" : pending, out);
    WriteText(text.substr(0, text.size() - LineEnding(text).size()), out);
    pending = ending;
    wrote = true;
  }
  void End(LineWriter& out) const {
    if (!unended) WriteText(pending, out);
  }
};

// Rewrites `path`, handing each line to `edit` with the lines written so far.
// An addition may leave a file as it is; such a file is not written at all.
int Rewrite(const InfoChange& change, const std::string& path,
            const std::function<void(std::string_view, InfoLines&, LineWriter&)>& edit,
            const std::function<void(InfoLines&, LineWriter&)>& finish) {
  InfoLines lines;
  auto each = [&](std::string_view line, LineWriter& out) {
    lines.unended = LineEnding(line).empty();
    edit(line, lines, out);
  };
  auto end = [&](LineWriter& out) {
    finish(lines, out);
    lines.End(out);
  };
  if (!change.kept.empty()) {
    const int changes = EditChangesFile(path, each, end);
    if (changes <= 0) return changes;
    lines = InfoLines();
  }
  return RewriteFile(path, kInfoFileMode, each, end);
}

// A file of appended entries: the lines of the kept identifier become
// `entry`, those of the other old identifiers go, and `entry` is appended
// when no line was the kept one's.
int ReplaceEntry(const InfoChange& change, const std::string& path, const std::string& entry) {
  auto edit = [&](std::string_view line, InfoLines& lines, LineWriter& out) {
    if (Holds(line, change.kept)) {
      lines.Put(entry, LineEnding(line), out);
      lines.placed = true;
    } else if (!HoldsAny(line, change.old_ids)) {
      lines.Put(line, LineEnding(line), out);
    }
  };
  auto finish = [&](InfoLines& lines, LineWriter& out) {
    if (!lines.placed && !entry.empty()) lines.Put(entry, "\n", out);
  };
  return Rewrite(change, path, edit, finish);
}

// The settings file: each line naming an old identifier names the added one,
// or is reset when nothing is added.
int RenameInSettings(const InfoChange& change, const std::string& path) {
  auto rename = [&](std::string_view line, InfoLines& lines, LineWriter& out) {
    std::string kept(line);
    if (HoldsAny(line, change.old_ids) && change.entries.id.empty()) {
      kept = kMediaSizeReset;
    } else {
      for (const std::string& id : change.old_ids) kept = ReplaceAll(kept, id, change.entries.id);
    }
    lines.Put(kept, LineEnding(line), out);
  };
  if (Rewrite(change, path, rename, [](InfoLines&, LineWriter&) {}) == 0) return kDone;
  return errno == ENOENT ? kDone : kFileError;  // a missing file names nothing
}

// Whether a line of the file at `path` holds `id`; false when it cannot be read.
bool FileHolds(const std::string& path, std::string_view id) {
  bool held = false;
  ForEachLine(path, [&](std::string_view line) { return !(held = Holds(line, id)); });
  return held;
}

// Whether `line` is the tape list's section line: "[CustomTape]" alone, so
// that a format named so is no section.
bool IsSectionLine(std::string_view line) {
  line.remove_suffix(LineEnding(line).size());
  const size_t start = line.find_first_not_of(" \t");
  if (start == std::string_view::npos) return false;
  return line.substr(start, line.find_last_not_of(" \t") + 1 - start) == kCustomTapeSection;
}

// The tape list: the kept identifier's lines become the entry where they
// stand, or the entry goes after every "[CustomTape]" line.
int ReplaceInTapeList(const InfoChange& change, const std::string& path) {
  const std::string& entry = change.entries.tape_list;
  const bool listed = FileHolds(path, change.kept);
  auto edit = [&](std::string_view line, InfoLines& lines, LineWriter& out) {
    if (Holds(line, change.kept)) return lines.Put(entry, LineEnding(line), out);
    if (HoldsAny(line, change.old_ids)) return;
    lines.Put(line, LineEnding(line), out);
    if (!listed && !entry.empty() && IsSectionLine(line)) lines.Put(entry, "\n", out);
  };
  return Rewrite(change, path, edit, [](InfoLines&, LineWriter&) {});
}

}  // namespace

std::vector<std::string> NamedLabelIds(const std::string& model, const std::string& name) {
  std::vector<std::string> ids;
  FindLabelIds(TapeListPath(model), "", name, &ids);
  FindLabelIds(PrintAreaPath(model), "", name, &ids);
  return ids;
}

Outcome ChangeInfoFiles(const std::string& model, const std::vector<std::string>& old_ids,
                        const InfoEntries* added) {
  const InfoEntries none;
  const InfoEntries& entries = added != nullptr ? *added : none;
  const InfoChange change{old_ids, entries, entries.id};
  const std::string print_area = PrintAreaPath(model), settings = SettingsPath(model),
                    tape_list = TapeListPath(model);
  // A name file (print area or tape list) names an identifier before any
  // other file holds it and until none does: a run cut short anywhere leaves
  // nothing that a removal of the name cannot find.
  if (added != nullptr &&
      ReplaceEntry({{}, entries, entries.id}, print_area, entries.print_area) != 0) {
    return FileFailure(print_area);
  }
  if (!old_ids.empty() && RenameInSettings(change, settings) != kDone) return FileFailure(settings);
  const std::pair<std::string, std::string> appended[] = {
      {ImagingAreaPath(model), entries.imaging_area},
      {PaperDimensionPath(model), entries.paper_dimension},
      {print_area, entries.print_area}};
  for (const auto& [path, entry] : appended) {
    if (ReplaceEntry(change, path, entry) != 0) return FileFailure(path);
  }
  if (ReplaceInTapeList(change, tape_list) != 0) return FileFailure(tape_list);
  return {};
}

Outcome RemoveUnnamedIds(const std::string& model) {
  std::set<std::string, std::less<>> named, held;
  for (const std::string& path : {TapeListPath(model), PrintAreaPath(model)}) {
    if (!CollectLabelIds(path, &named)) return FileFailure(path);
  }
  for (const std::string& path :
       {SettingsPath(model), ImagingAreaPath(model), PaperDimensionPath(model)}) {
    if (!CollectLabelIds(path, &held) && errno != ENOENT) return FileFailure(path);
  }
  std::vector<std::string> unnamed;
  std::ranges::set_difference(held, named, std::back_inserter(unnamed));
  if (unnamed.empty()) return {};
  Outcome removed = ChangeInfoFiles(model, unnamed, nullptr);
  for (const std::string& id : unnamed)
    removed.notes.push_back(id +
                            " is named by neither the tape list nor the print-area file: removed");
  return removed;
}
