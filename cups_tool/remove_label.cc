// Removing a label format's lines from a PPD and resetting defaults that named it.
#include <optional>

#include "file_rewrite.h"
#include "fixed_paths.h"
#include "label_id.h"
#include "ppd_edit.h"
#include "reregister_queue.h"

namespace {

// The page size that a default naming the removed format falls back to when
// the PPD offers it, as the driver's own PPDs do.
constexpr std::string_view kResetPageSize = kFallbackPageSize;
constexpr std::string_view kPageSizeChoice = "*PageSize ";

// The option keyword of a "*PageSize <keyword>[/text]: ..." line.
std::string_view ChoiceKeyword(std::string_view line) {
  line.remove_prefix(kPageSizeChoice.size());
  return line.substr(0, line.find_first_of("/: \t\r\n"));
}

// The page size a default line that named the format `removed_id` is reset
// to: 50x30 when the PPD at `path` offers it, otherwise the first page size
// left in the file once the format is gone; 50x30 when there is none or the
// PPD cannot be read again.
std::string ResetPageSize(const std::string& path, std::string_view removed_id) {
  std::optional<std::string> first;
  bool offered = false;
  ForEachLine(path, [&](std::string_view line) {
    if (!line.starts_with(kPageSizeChoice) || line.find(removed_id) != std::string_view::npos)
      return true;
    const std::string_view keyword = ChoiceKeyword(line);
    offered = keyword == kResetPageSize;
    if (!first && !keyword.empty()) first = std::string(keyword);
    return !offered;
  });
  return offered ? std::string(kResetPageSize) : first.value_or(std::string(kResetPageSize));
}

}  // namespace

Outcome RemoveLabel(LabelRequest request) {
  TraceEnter(kTraceSource, "RemoveLabel");
  char found_id[kLabelIdLength + 1];
  const int found = Lookup_Label(request.ppd_path, request.label_name, found_id);
  if (found == kLabelAbsent) return Failure({}, kNotPresent, "");
  if (found == kLabelFileUnreadable) return FileFailure(request.ppd_path);
  const std::string_view id(found_id, kLabelIdLength);
  std::optional<std::string> reset;  // looked up once, when a default needs it
  // Each line carrying the identifier is dropped, unless it sets a default.
  auto edit = [&](std::string_view line, LineWriter& out) {
    if (line.find(id) == std::string_view::npos) return WriteText(line, out);
    for (std::string_view keyword : kDefaultKeywords) {
      if (line.find(keyword) == std::string_view::npos) continue;
      if (!reset) reset = ResetPageSize(request.ppd_path, id);
      WriteText(std::string(keyword) + "\t" + *reset + std::string(LineEnding(line)), out);
      return;
    }
  };
  const std::string scratch = FixedPath(kScratchPpdPath);
  if (WriteEditedCopy(request.ppd_path, scratch, 0644, edit, AddNothing) != 0)
    return FileFailure(scratch);
  return ReRegisterQueue(scratch, {{std::string(id), ""}});
}
