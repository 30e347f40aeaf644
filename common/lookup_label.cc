// Lookup_Label, which each tool builds its own way (CORVANE_LPRNG_BUILD); see label_id.h.
#include <cstring>

#include "label_id.h"
#include "paper_size_tool.h"

namespace {

#ifdef CORVANE_LPRNG_BUILD
constexpr std::string_view kLinePrefix;
constexpr int kUnreadable = kLabelAbsent;
#else
constexpr std::string_view kLinePrefix = "*PageSize";
constexpr int kUnreadable = kLabelFileUnreadable;
#endif

}  // namespace

int Lookup_Label(const std::string& path, std::string_view name, char id[kLabelIdLength + 1]) {
  TraceEnter(kTraceSource, "Lookup_Label");
  std::vector<std::string> ids;
  if (!FindLabelIds(path, kLinePrefix, name, &ids)) return kUnreadable;
  if (ids.empty()) return kLabelAbsent;
  std::memcpy(id, ids.front().data(), kLabelIdLength);
  id[kLabelIdLength] = '\0';
  return kLabelFound;
}
