// Putting the model's label formats back into a queue's PPD.
#include <cmath>
#include <cstdlib>

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

// Reads the model's formats; false (errno set, request->work_path naming the
// file) when a file cannot be read.
bool ReadModelFormats(LprRequest* request, ModelFormats* formats) {
  request->work_path = TapeListPath(request->model);
  if (!ReadLabelEntries(request->work_path, "", &formats->entries)) return false;
  request->work_path = ImagingAreaPath(request->model);
  if (!ReadLabelValues(request->work_path, "", 4, &formats->areas)) return false;
  request->work_path = PaperDimensionPath(request->model);
  return ReadLabelValues(request->work_path, "", 2, &formats->sizes);
}

// The format's margins in millimetres, to two decimals as the addition
// passed them, from the points of its imaging-area and paper-dimension lines.
LabelGeometry RecordedMargins(const LabelEntry& entry, const ModelFormats& formats) {
  const std::vector<double>& area = formats.areas.at(entry.id);
  const std::vector<double>& size = formats.sizes.at(entry.id);
  auto two_decimals = [](double mm) { return std::strtod(TwoDecimals(mm).c_str(), nullptr); };
  LabelGeometry geometry;
  geometry.width = MillimetresFromPoints(size[0]);
  geometry.length = MillimetresFromPoints(size[1]);
  geometry.left = two_decimals(MillimetresFromPoints(area[0]));
  geometry.top = two_decimals(MillimetresFromPoints(area[1]));
  geometry.right = two_decimals(geometry.width - MillimetresFromPoints(area[2]));
  geometry.bottom = two_decimals(geometry.length - MillimetresFromPoints(area[3]));
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
  const long width_mm = std::strtol(entry.id.substr(5, 2).c_str(), nullptr, 16);
  long length_mm = std::strtol(entry.id.substr(7, 3).c_str(), nullptr, 16);
  length_mm += 4096 * std::lround((g.length - static_cast<double>(length_mm)) / 4096);
  return "-n\t" + entry.name + "\t-w\t" + std::to_string(width_mm) + "\t-h\t" +
         std::to_string(length_mm) + "\t-l\t" + TwoDecimals(g.left) + "\t-t\t" +
         TwoDecimals(g.top) + "\t-r\t" + TwoDecimals(g.right) + "\t-b\t" + TwoDecimals(g.bottom) +
         "\t-specid\t" + entry.id + "\n";
}

}  // namespace

int SyncQueue(const LprRequest& request, std::string* restored) {
  LprRequest own = request;
  ModelFormats formats;
  if (!ReadModelFormats(&own, &formats) || RemoveUnnamedIds(&own) != kDone) {
    ReportFileFailure(own);
    return kFileError;
  }
  std::set<std::string, std::less<>> in_ppd, names;
  std::string why;
  if (!ListPpdIds(own, &in_ppd, &why)) {
    ReportFailure(own, "queue " + own.printer + " not synced: " + why);
    return kCommandError;
  }
  // The newest format of each name (the tape list has it first) is the one
  // to restore; the lines go in the order of the additions, oldest first.
  std::string lines, listing;
  for (const LabelEntry& entry : formats.entries) {
    if (!names.insert(entry.name).second || in_ppd.contains(entry.id)) continue;
    if (const char* refusal = Refusal(entry, formats)) {
      ReportFailure(own, entry.id + " " + entry.name + " not synced: " + refusal);
      continue;
    }
    lines.insert(0, AdditionLine(entry, formats));
    listing += ListingLine(entry, formats.sizes) + "\tppd\n";
  }
  if (lines.empty()) return kDone;
  const int status = RunCommandWithInput(SyncCommand(own), lines);
  // The CUPS tool's sync reports its own failures (status 1).
  if (status != 0 && status != 1) {
    ReportFailure(own, "queue " + own.printer + " not synced: " + CupsToolFailed(own, status));
  }
  if (status != 0) return kCommandError;
  *restored = listing;
  return kDone;
}
