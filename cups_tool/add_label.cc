// Adding one label format to a PPD, and its margin constraints.
#include <algorithm>
#include <cmath>

#include "fixed_paths.h"
#include "label_id.h"
#include "ppd_edit.h"
#include "reregister_queue.h"

namespace {

// Margins of the "*CvMargin" option that constraints can exclude.
constexpr int64_t kLowestMargin = 3;
constexpr int64_t kHighestMargin = 30;

// The first margin (in mm) for which SetConstraints writes a line for a label
// of `length_mm`; above 30 it writes none.
int64_t FirstConstrainedMargin(int64_t length_mm) {
  // Half the length, rounded up, computed in double as the driver always has.
  const double half = std::trunc((static_cast<double>(length_mm) + 1) * 0.5);
  if (half > kHighestMargin) return kHighestMargin + 1;
  return std::max(kLowestMargin, static_cast<int64_t>(half));
}

}  // namespace

int SetConstraints(LineWriter& out, std::string_view label_id, int64_t length_mm,
                   std::string_view line_end) {
  TraceEnter(kTraceSource, "SetConstraints");
  for (int64_t i = FirstConstrainedMargin(length_mm); i <= kHighestMargin; ++i) {
    WriteText("*UIConstraints:\t*CvMargin " + std::to_string(i) + "\t*PageSize ", out);
    WriteText(label_id, out);
    WriteText(line_end, out);
  }
  return kDone;
}

int AddLabel(LabelRequest request, LabelGeometry geometry) {
  TraceEnter(kTraceSource, "AddLabel");
  if (request.label_id.empty()) {
    request.label_id = MakeLabelId(request.label_name.size(),
                                   static_cast<uint32_t>(request.width_mm), request.length_mm);
  }
  // A format of the same name is replaced in the same edit, so the queue
  // never goes without the name and a default that named it follows it.
  char old_id[kLabelIdLength + 1];
  const int found = Lookup_Label(request.ppd_path, request.label_name, old_id);
  if (found < 0) {
    ReportUnreadablePpd(request.ppd_path);
    return kFileError;
  }
  const PpdInsertion insertion{{request, geometry}, found == kLabelFound ? old_id : ""};
  const std::string scratch = FixedPath(kScratchPpdPath);
  const int edited = WriteEditedPpd(request.ppd_path, scratch, {insertion});
  if (edited == kPpdUnchanged) return kDone;  // nothing to tell CUPS
  IdRenames renamed;
  if (!insertion.replaces.empty() && insertion.replaces != request.label_id)
    renamed.emplace(insertion.replaces, request.label_id);
  return edited == kDone ? ReRegisterQueue(scratch, renamed) : edited;
}
