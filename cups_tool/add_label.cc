// Adding a label format's page-size entries and margin constraints to a PPD.
#include <algorithm>
#include <cmath>

#include "cups_tool.h"
#include "file_rewrite.h"
#include "fixed_paths.h"
#include "reregister_queue.h"
#include "text_format.h"

namespace {

// Margins of the "*CvMargin" option that constraints can exclude.
constexpr int64_t kLowestMargin = 3;
constexpr int64_t kHighestMargin = 30;

constexpr std::string_view kCloseSizes = "*CloseUI: *PageSize";
constexpr std::string_view kCloseRegions = "*CloseUI: *PageRegion";
constexpr std::string_view kArea = "*ImageableArea";
constexpr std::string_view kDimension = "*PaperDimension";
// Margin constraints name the CvMargin option; a PPD without it would fail
// validation with them, so they are written only when the PPD declares it.
constexpr std::string_view kMarginOption = "*OpenUI *CvMargin";

// The four lines of a new page size, each naming the format as
// "<id>/<name>", and what the pass over the PPD has seen so far.
struct Insertion {
  std::string page_size;
  std::string page_region;
  std::string imageable_area;
  std::string paper_dimension;
  // Only lines holding one of these can take an insertion or matter (the
  // first covers both closing lines); the area, dimension and margin markers
  // are dropped once their first line is seen.
  std::vector<std::string_view> markers = {"*CloseUI: *Page", kArea, kDimension, kMarginOption};
  bool has_margin_option = false;
};

Insertion MakeInsertion(const std::string& id, const LabelRequest& request,
                        const LabelGeometry& geometry) {
  const std::string option = id + "/" + request.label_name;
  const ImageableArea area = ImageableAreaOf(geometry);
  Insertion insertion;
  insertion.page_size = "*PageSize " + option + ":\t\t\"          \"\n";
  insertion.page_region = "*PageRegion " + option + ":\t\t\"          \"\n";
  insertion.imageable_area =
      FormatText("*ImageableArea %s:\t\"%.2f %.2f %.2f %.2f\"\n", option.c_str(), area.left,
                 area.top, area.right, area.bottom);
  // The paper dimension takes the whole millimetres, the imageable area the
  // width and length as given.
  insertion.paper_dimension = FormatText("*PaperDimension %s:\t\"%.2f %.2f\"\n", option.c_str(),
                                         Points(static_cast<double>(request.width_mm)),
                                         Points(static_cast<double>(request.length_mm)));
  return insertion;
}

// Writes what goes before `line`, a line holding one of the markers, then the line.
void InsertBefore(Insertion& insertion, std::string_view line, LineWriter& out) {
  // True for the first line that begins with `marker`, which is then dropped.
  auto first = [&insertion, line](std::string_view marker) {
    if (!line.starts_with(marker) || std::ranges::count(insertion.markers, marker) == 0) {
      return false;
    }
    std::erase(insertion.markers, marker);
    return true;
  };
  if (first(kMarginOption)) {
    insertion.has_margin_option = true;
  } else if (line.starts_with(kCloseSizes)) {
    WriteText(insertion.page_size, out);
  } else if (line.starts_with(kCloseRegions)) {
    WriteText(insertion.page_region, out);
  } else if (first(kArea)) {
    WriteText(insertion.imageable_area, out);
  } else if (first(kDimension)) {
    WriteText(insertion.paper_dimension, out);
  }
  WriteText(line, out);
}

// The first margin (in mm) for which SetConstraints writes a line for a label
// of `length_mm`; above 30 it writes none.
int64_t FirstConstrainedMargin(int64_t length_mm) {
  // Half the length, rounded up, computed in double as the driver always has.
  double half = std::trunc((static_cast<double>(length_mm) + 1) * 0.5);
  if (half > kHighestMargin) return kHighestMargin + 1;
  return std::max(kLowestMargin, static_cast<int64_t>(half));
}

}  // namespace

int SetConstraints(LineWriter& out, std::string_view label_id, int64_t length_mm) {
  TraceEnter(kTraceSource, "SetConstraints");
  for (int64_t i = FirstConstrainedMargin(length_mm); i <= kHighestMargin; ++i) {
    WriteText("*UIConstraints:\t*CvMargin " + std::to_string(i) + "\t*PageSize ", out);
    WriteText(label_id, out);
    WriteText("\n", out);
  }
  return kDone;
}

int AddLabel(LabelRequest request, LabelGeometry geometry) {
  TraceEnter(kTraceSource, "AddLabel");
  const std::string id =
      !request.label_id.empty()
          ? request.label_id
          : MakeLabelId(request.label_name.size(), static_cast<uint32_t>(request.width_mm),
                        request.length_mm);
  Insertion insertion = MakeInsertion(id, request, geometry);
  auto edit = [&insertion](std::string_view line, LineWriter& out) {
    InsertBefore(insertion, line, out);
  };
  auto finish = [&](LineWriter& out) {
    if (!insertion.has_margin_option) return;
    // A last line without a line feed stays so unless constraint lines follow
    // it; they must not be glued onto it.
    if (out.last_byte != '\n' && FirstConstrainedMargin(request.length_mm) <= kHighestMargin) {
      WriteText("\n", out);
    }
    SetConstraints(out, id, request.length_mm);
  };
  const std::string scratch = FixedPath(kScratchPpdPath);
  if (WriteEditedCopy(request.ppd_path, scratch, 0644, insertion.markers, edit, finish) != 0) {
    return kFileError;
  }
  return ReRegisterQueue(scratch);
}
