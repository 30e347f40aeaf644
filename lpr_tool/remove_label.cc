// Removing a label format from the PPD (through the CUPS tool) and from the information files.
#include "edited_copy.h"
#include "lpr_tool.h"

namespace {

// Written in place of each settings line that names the removed label format.
constexpr std::string_view kMediaSizeReset = "MediaSize=50x30\n";

// Copies every line that does not contain `id`.
LineEdit DropLinesWith(std::string_view id) {
  return [id](std::string_view line, LineWriter& out) {
    if (line.find(id) == std::string_view::npos) WriteText(line, out);
  };
}

}  // namespace

int RemoveLabel(LprRequest request, LabelGeometry /*geometry*/) {
  TraceEnter(kTraceSource, "RemoveLabel");
  if (RunCupsTool(RemovalCommand(request)) != kDone) return kCommandError;

  char found[kLabelIdLength + 1];
  request.work_path = TapeListPath(request.model);
  if (Lookup_Label(request.work_path, request.label_name, found) != 1) return kNotPresent;
  const std::string tape_id(found, kLabelIdLength);
  if (RewriteInfoFile(request.work_path, {tape_id}, DropLinesWith(tape_id), AddNothing) != 0)
    return kFileError;

  // From here on the identifier of the print-area file rules.
  request.work_path = PrintAreaPath(request.model);
  if (Lookup_Label(request.work_path, request.label_name, found) != 1) return kNotPresent;
  const std::string id(found, kLabelIdLength);
  if (RewriteInfoFile(request.work_path, {id}, DropLinesWith(id), AddNothing) != 0)
    return kFileError;

  request.work_path = SettingsPath(request.model);
  auto reset_media_size = [&id](std::string_view line, LineWriter& out) {
    WriteText(line.find(id) == std::string_view::npos ? line : kMediaSizeReset, out);
  };
  if (RewriteInfoFile(request.work_path, {id}, reset_media_size, AddNothing) != 0)
    return kFileError;

  request.work_path = ImagingAreaPath(request.model);
  if (RewriteInfoFile(request.work_path, {id}, DropLinesWith(id), AddNothing) != 0)
    return kFileError;
  request.work_path = PaperDimensionPath(request.model);
  if (RewriteInfoFile(request.work_path, {id}, DropLinesWith(id), AddNothing) != 0)
    return kFileError;
  return kDone;
}
