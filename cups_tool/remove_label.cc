// Removing a label format's lines from a PPD and resetting defaults that named it.
#include <array>

#include "cups_tool.h"
#include "edited_copy.h"
#include "fixed_paths.h"

namespace {

// Default-setting keywords, tested in this order; a default line that names
// the removed format falls back to this page size.
constexpr std::array<std::string_view, 4> kDefaultKeywords = {
    "*DefaultPageSize:", "*DefaultPageRegion:", "*DefaultImageableArea:",
    "*DefaultPaperDimension:"};
constexpr std::string_view kResetPageSize = "50x30";

}  // namespace

int RemoveLabel(LabelRequest request) {
  TraceEnter(kTraceSource, "RemoveLabel");
  char found_id[kLabelIdLength + 1];
  int found = Lookup_Label(request.ppd_path, request.label_name, found_id);
  if (found == 0) return 1;
  if (found < 0) return -1;  // the PPD cannot be read; errno tells why
  const std::string_view id(found_id, kLabelIdLength);
  auto edit = [&](std::string_view line, LineWriter& out) {
    if (line.find(id) == std::string_view::npos) {
      WriteText(line, out);
      return;
    }
    for (std::string_view keyword : kDefaultKeywords) {
      if (line.find(keyword) != std::string_view::npos) {
        WriteText(keyword, out);
        WriteText("\t", out);
        WriteText(kResetPageSize, out);
        WriteText("\n", out);
        return;
      }
    }
  };
  const std::string scratch = FixedPath(kScratchPpdPath);
  if (WriteEditedCopy(request.ppd_path, scratch, 0644, false, {id}, edit, AddNothing) != 0)
    return -1;
  return ReRegisterQueue(scratch);
}
