// Adding a label format to the PPD (through the CUPS tool) and to the information files.
#include "driver_tree.h"
#include "file_rewrite.h"
#include "lpr_tool.h"
#include "media_record.h"
#include "shell_command.h"
#include "text_format.h"

namespace {

constexpr std::string_view kCustomTapeSection = "[CustomTape]";

// Whole dots at 203 dots per inch, truncated; the division by 25.4 comes first.
long long Dots(double mm) {
  return static_cast<long long>(TruncateToInt64(mm / 25.4 * kResolutionDpi));
}

// Copies every line (no marker hands any to the edit step) and appends
// `entry` behind the last byte of the file.
int AppendEntry(const std::string& path, const std::string& entry) {
  return RewriteFile(path, kInfoFileMode, {}, DropLine,
                     [&entry](LineWriter& out) { WriteText(entry, out); });
}

}  // namespace

int AddLabel(LprRequest request, LabelGeometry geometry) {
  TraceEnter(kTraceSource, "AddLabel");
  const std::string id = MakeLabelId(request.label_name.size(),
                                     static_cast<uint32_t>(request.width_mm), request.length_mm);
  if (RunCommand(AdditionCommand(request, geometry, id)) != kDone) return kCommandError;

  const std::string tape_entry = id + "/" + request.label_name + "\n";
  request.work_path = TapeListPath(request.model);
  auto after_section = [&tape_entry](std::string_view line, LineWriter& out) {
    WriteText(line, out);
    if (line.find(kCustomTapeSection) != std::string_view::npos) WriteText(tape_entry, out);
  };
  if (RewriteFile(request.work_path, kInfoFileMode, {kCustomTapeSection}, after_section,
                  AddNothing) != 0) {
    return kFileError;
  }

  // The printable area uses the whole-millimetre width and length.
  request.work_path = PrintAreaPath(request.model);
  const std::string print_area_entry =
      FormatText("%s/%s:\t%lld\t%lld\n", id.c_str(), request.label_name.c_str(),
                 Dots(static_cast<double>(request.width_mm) - (geometry.left + geometry.right)),
                 Dots(static_cast<double>(request.length_mm) - (geometry.top + geometry.bottom)));
  if (AppendEntry(request.work_path, print_area_entry) != 0) return kFileError;

  request.work_path = ImagingAreaPath(request.model);
  const ImageableArea area = ImageableAreaOf(geometry);
  const std::string imaging_entry = FormatText("%s\t:\t%.2f\t%.2f\t%.2f\t%.2f\n", id.c_str(),
                                               area.left, area.top, area.right, area.bottom);
  if (AppendEntry(request.work_path, imaging_entry) != 0) return kFileError;

  request.work_path = PaperDimensionPath(request.model);
  const std::string dimension_entry = FormatText("%s\t:\t%.2f\t%.2f\n", id.c_str(),
                                                 Points(geometry.width), Points(geometry.length));
  if (AppendEntry(request.work_path, dimension_entry) != 0) return kFileError;
  return kDone;
}
