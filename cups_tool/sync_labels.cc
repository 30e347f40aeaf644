// Putting several label formats into a PPD with one re-registration.
#include <map>
#include <set>

#include "fixed_paths.h"
#include "label_listing.h"
#include "ppd_edit.h"
#include "reregister_queue.h"

Outcome SyncLabels(const std::string& ppd_path, const std::vector<LabelFormat>& formats) {
  std::vector<LabelEntry> entries;
  if (!ReadLabelEntries(ppd_path, "*PageSize", &entries)) return FileFailure(ppd_path);
  std::set<std::string, std::less<>> ids;
  std::map<std::string, std::string, std::less<>> id_of_name;  // the first format of each name
  for (const LabelEntry& entry : entries) {
    ids.insert(entry.id);
    id_of_name.emplace(entry.name, entry.id);
  }
  std::vector<PpdInsertion> insertions;
  for (const LabelFormat& format : formats) {
    if (ids.contains(format.request.label_id)) continue;
    const auto same_name = id_of_name.find(format.request.label_name);
    insertions.push_back({format, same_name != id_of_name.end() ? same_name->second : ""});
  }
  if (insertions.empty()) return {};
  const std::string scratch = FixedPath(kScratchPpdPath);
  const Outcome edited = WriteEditedPpd(ppd_path, scratch, insertions);
  if (edited.code != kDone) return edited;
  IdRenames renamed;
  for (const PpdInsertion& insertion : insertions) {
    if (!insertion.replaces.empty())
      renamed.emplace(insertion.replaces, insertion.format.request.label_id);
  }
  return ReRegisterQueue(scratch, renamed);
}
