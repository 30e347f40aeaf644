// Adding a label format to the PPD (through the CUPS tool) and to the information files.
#include "driver_tree.h"
#include "info_files.h"
#include "label_id.h"
#include "media_record.h"
#include "shell_command.h"
#include "text_format.h"
#include "units.h"

namespace {

// Whole dots, truncated; the division by 25.4 comes first.
long long Dots(double mm) {
  return static_cast<long long>(TruncateToInt64(mm / kMmPerInch * kDotsPerInch));
}

InfoEntries MakeEntries(const LprRequest& request, const LabelGeometry& geometry,
                        const std::string& id) {
  InfoEntries entries;
  entries.id = id;
  entries.tape_list = id + "/" + request.label_name + "\n";
  // The printable area uses the whole-millimetre width and length.
  entries.print_area =
      FormatText("%s/%s:\t%lld\t%lld\n", id.c_str(), request.label_name.c_str(),
                 Dots(static_cast<double>(request.width_mm) - (geometry.left + geometry.right)),
                 Dots(static_cast<double>(request.length_mm) - (geometry.top + geometry.bottom)));
  const ImageableArea area = ImageableAreaOf(geometry);
  entries.imaging_area = FormatText("%s\t:\t%.2f\t%.2f\t%.2f\t%.2f\n", id.c_str(), area.left,
                                    area.top, area.width_less_right, area.length_less_bottom);
  entries.paper_dimension = FormatText("%s\t:\t%.2f\t%.2f\n", id.c_str(), Points(geometry.width),
                                       Points(geometry.length));
  return entries;
}

// The identifier of the name that the addition keeps: the first of `ids`
// (newest first) that carries the same whole-millimetre width and length, so
// that every default naming it stays valid; "" when there is none.
std::string KeptId(const LprRequest& request, const std::vector<std::string>& ids) {
  for (const std::string& id : ids) {
    if (LabelIdWidth(id) == request.width_mm && LabelIdLength(id) == (request.length_mm & 0xFFF))
      return id;
  }
  return "";
}

// Puts the format into the queue's PPD, or, when the PPD cannot take it,
// takes an earlier format of the name out so that CUPS offers no stale size,
// with a note saying so.  Fails when the CUPS tool does.
Outcome ChangePpd(const LprRequest& request, const LabelGeometry& geometry, const std::string& id) {
  Outcome changed;
  const char* refusal = PpdRefusal(request.label_name, geometry);
  int status = 0;
  if (refusal == nullptr) {
    status = RunCommand(AdditionCommand(request, geometry, id));
  } else {
    changed.notes.push_back(id + " " + request.label_name +
                            " reaches the information files only: " + refusal);
    // No PPD holds a name that long.
    if (request.label_name.size() <= kMaxPpdLabelName) status = RunCommand(RemovalCommand(request));
  }
  if (status == 0) return changed;
  return Failure(changed, kCommandError,
                 CupsToolFailed(request, status) + ": no information file changed");
}

}  // namespace

Outcome AddLabel(LprRequest request, LabelGeometry geometry) {
  TraceEnter(kTraceSource, "AddLabel");
  const std::vector<std::string> old_ids = NamedLabelIds(request.model, request.label_name);
  std::string id = KeptId(request, old_ids);
  if (id.empty()) {
    id = MakeLabelId(request.label_name.size(), static_cast<uint32_t>(request.width_mm),
                     request.length_mm);
  }
  // The CUPS tool replaces a format of the same name in the PPD itself.
  Outcome in_ppd = ChangePpd(request, geometry, id);
  if (in_ppd.code != kDone) return in_ppd;
  const InfoEntries entries = MakeEntries(request, geometry, id);
  Outcome changed = ChangeInfoFiles(request.model, old_ids, &entries);
  changed.notes.insert(changed.notes.begin(), in_ppd.notes.begin(), in_ppd.notes.end());
  return changed;
}
