// Putting several label formats into a PPD with one re-registration.
#include <map>
#include <set>

#include "cups_tool.h"
#include "label_listing.h"

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
  return insertions.empty() ? Outcome{} : InsertIntoPpd(ppd_path, insertions);
}
