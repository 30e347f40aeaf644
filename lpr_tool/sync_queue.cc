// Putting the model's label formats back into a queue's PPD.
#include <cmath>

#include "driver_tree.h"
#include "info_files.h"
#include "label_id.h"
#include "label_listing.h"
#include "ppd_ids.h"
#include "shell_command.h"
#include "units.h"

namespace {

using Values = std::map<std::string, std::vector<double>>;

// The model's formats: the tape list's, and the numbers of their
// imaging-area and paper-dimension lines.
struct ModelFormats {
  std::vector<LabelEntry> entries;
  Values areas;  // left, top, width less right, length less bottom, in points
  Values sizes;  // width, length, in points
};

// Reads the model's formats; fails when a file cannot be read.
Outcome ReadModelFormats(const std::string& model, ModelFormats* formats) {
  const std::string tape_list = TapeListPath(model), imaging_area = ImagingAreaPath(model),
                    paper_dimension = PaperDimensionPath(model);
  if (!ReadLabelEntries(tape_list, "", &formats->entries)) return FileFailure(tape_list);
  if (!ReadLabelValues(imaging_area, "", 4, &formats->areas)) return FileFailure(imaging_area);
  if (!ReadLabelValues(paper_dimension, "", 2, &formats->sizes))
    return FileFailure(paper_dimension);
  return {};
}

// The format's margins in millimetres, to two decimals as the addition
// passed them, from the points of its imaging-area and paper-dimension lines.
LabelGeometry RecordedMargins(const LabelEntry& entry, const ModelFormats& formats) {
  const std::vector<double>& area = formats.areas.at(entry.id);
  const std::vector<double>& size = formats.sizes.at(entry.id);
  LabelGeometry geometry;
  geometry.width = MillimetresFromPoints(size[0]);
  geometry.length = MillimetresFromPoints(size[1]);
  geometry.left = RoundedToTwoDecimals(MillimetresFromPoints(area[0]));
  geometry.top = RoundedToTwoDecimals(MillimetresFromPoints(area[1]));
  geometry.right = RoundedToTwoDecimals(geometry.width - MillimetresFromPoints(area[2]));
  geometry.bottom = RoundedToTwoDecimals(geometry.length - MillimetresFromPoints(area[3]));
  return geometry;
}

// Why a PPD cannot take the format as the information files recorded it, or
// nullptr when it can.
const char* Refusal(const LabelEntry& entry, const ModelFormats& formats) {
  if (!formats.areas.contains(entry.id) || !formats.sizes.contains(entry.id))
    return "no imaging-area or paper-dimension line names it";
  return PpdRefusal(entry.name, RecordedMargins(entry, formats));
}

// The arguments of the format's addition, as the CUPS tool's sync reads them
// (TABs between them, a line feed after them), rebuilt from what the
// information files recorded: the whole millimetres of the identifier (the
// length's high bits from the paper dimension) and the margins.
std::string AdditionLine(const LabelEntry& entry, const ModelFormats& formats) {
  const LabelGeometry g = RecordedMargins(entry, formats);
  const unsigned width_mm = LabelIdWidth(entry.id);
  long length_mm = LabelIdLength(entry.id);
  length_mm += 4096 * std::lround((g.length - static_cast<double>(length_mm)) / 4096);
  return "-n\t" + entry.name + "\t-w\t" + std::to_string(width_mm) + "\t-h\t" +
         std::to_string(length_mm) + "\t-l\t" + TwoDecimals(g.left) + "\t-t\t" +
         TwoDecimals(g.top) + "\t-r\t" + TwoDecimals(g.right) + "\t-b\t" + TwoDecimals(g.bottom) +
         "\t-specid\t" + entry.id + "\n";
}

}  // namespace

Outcome PlanSync(const LprRequest& request, SyncPlan* plan) {
  ModelFormats formats;
  Outcome planned = ReadModelFormats(request.model, &formats);
  if (planned.code == kDone) planned = RemoveUnnamedIds(request.model);
  if (planned.code != kDone) return planned;
  std::set<std::string, std::less<>> in_ppd, names;
  std::string why;
  if (!ListPpdIds(request, &in_ppd, &why))
    return Failure(planned, kCommandError, "queue " + request.printer + " not synced: " + why);
  // The newest format of each name (the tape list has it first) is the one
  // to restore; the lines go in the order of the additions, oldest first.
  for (const LabelEntry& entry : formats.entries) {
    if (!names.insert(entry.name).second || in_ppd.contains(entry.id)) continue;
    if (const char* refusal = Refusal(entry, formats)) {
      planned.notes.push_back(entry.id + " " + entry.name + " not synced: " + refusal);
      continue;
    }
    plan->additions.insert(0, AdditionLine(entry, formats));
    plan->listing += ListingLine(entry, formats.sizes) + "\tppd\n";
  }
  return planned;
}

Outcome RunSync(const LprRequest& request, const SyncPlan& plan) {
  if (plan.additions.empty()) return {};
  const int status = RunCommandWithInput(SyncCommand(request), plan.additions);
  // The CUPS tool's sync tells its own failures (status 1).
  if (status == 1) return Failure({}, kCommandError, "");
  if (status == 0) return {};
  return Failure({}, kCommandError,
                 "queue " + request.printer + " not synced: " + CupsToolFailed(request, status));
}
