// Removing a label format from the PPD (through the CUPS tool) and from the information files.
#include "driver_tree.h"
#include "file_rewrite.h"
#include "lpr_tool.h"
#include "shell_command.h"

namespace {

// Written in place of each settings line that names the removed label format.
constexpr std::string_view kMediaSizeReset = "MediaSize=50x30\n";

}  // namespace

int RemoveLabel(LprRequest request, LabelGeometry /*geometry*/) {
  TraceEnter(kTraceSource, "RemoveLabel");
  if (RunCommand(RemovalCommand(request)) != kDone) return kCommandError;

  char found[kLabelIdLength + 1];
  request.work_path = TapeListPath(request.model);
  if (Lookup_Label(request.work_path, request.label_name, found) != 1) return kNotPresent;
  const std::string tape_id(found, kLabelIdLength);
  if (RewriteFile(request.work_path, kInfoFileMode, {tape_id}, DropLine, AddNothing) != 0)
    return kFileError;

  // From here on the identifier of the print-area file rules.
  request.work_path = PrintAreaPath(request.model);
  if (Lookup_Label(request.work_path, request.label_name, found) != 1) return kNotPresent;
  const std::string id(found, kLabelIdLength);
  if (RewriteFile(request.work_path, kInfoFileMode, {id}, DropLine, AddNothing) != 0)
    return kFileError;

  request.work_path = SettingsPath(request.model);
  auto reset_media_size = [](std::string_view /*line*/, LineWriter& out) {
    WriteText(kMediaSizeReset, out);
  };
  if (RewriteFile(request.work_path, kInfoFileMode, {id}, reset_media_size, AddNothing) != 0)
    return kFileError;

  request.work_path = ImagingAreaPath(request.model);
  if (RewriteFile(request.work_path, kInfoFileMode, {id}, DropLine, AddNothing) != 0)
    return kFileError;
  request.work_path = PaperDimensionPath(request.model);
  if (RewriteFile(request.work_path, kInfoFileMode, {id}, DropLine, AddNothing) != 0)
    return kFileError;
  return kDone;
}
