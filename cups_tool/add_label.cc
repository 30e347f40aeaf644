// Adding a label format's page-size entries and margin constraints to a PPD.
#include <algorithm>
#include <cmath>

#include "cups_tool.h"
#include "file_rewrite.h"
#include "fixed_paths.h"
#include "text_format.h"

namespace {

// Margins of the "*CvMargin" option that constraints can exclude.
constexpr int64_t kLowestMargin = 3;
constexpr int64_t kHighestMargin = 30;

// PostScript points from millimetres: divided first, then multiplied.
double Points(double mm) { return mm / 25.4 * 72; }

// The four lines of a new page size; each names the format as "<id>/<name>".
struct PageSizeLines {
  std::string page_size;
  std::string page_region;
  std::string imageable_area;
  std::string paper_dimension;
};

PageSizeLines MakePageSizeLines(const std::string& id, const LabelRequest& request,
                                const LabelGeometry& geometry) {
  const std::string option = id + "/" + request.label_name;
  PageSizeLines lines;
  lines.page_size = "*PageSize " + option + ":\t\t\"          \"\n";
  lines.page_region = "*PageRegion " + option + ":\t\t\"          \"\n";
  // The second value is the top margin and the fourth the length less the
  // bottom margin, as the driver's filters have always read them.
  lines.imageable_area = FormatText("*ImageableArea %s:\t\"%.2f %.2f %.2f %.2f\"\n", option.c_str(),
                                    Points(geometry.left), Points(geometry.top),
                                    Points(geometry.width - geometry.right),
                                    Points(geometry.length - geometry.bottom));
  lines.paper_dimension = FormatText("*PaperDimension %s:\t\"%.2f %.2f\"\n", option.c_str(),
                                     Points(static_cast<double>(request.width_mm)),
                                     Points(static_cast<double>(request.length_mm)));
  return lines;
}

}  // namespace

int64_t FirstConstrainedMargin(int64_t length_mm) {
  // Half the length, rounded up, computed in double as the driver always has.
  double half = std::trunc((static_cast<double>(length_mm) + 1) * 0.5);
  if (half > kHighestMargin) return kHighestMargin + 1;
  return std::max(kLowestMargin, static_cast<int64_t>(half));
}

int SetConstraints(LineWriter& out, std::string_view label_id, int64_t length_mm) {
  TraceEnter(kTraceSource, "SetConstraints");
  for (int64_t i = FirstConstrainedMargin(length_mm); i <= kHighestMargin; ++i) {
    WriteText("*UIConstraints:\t*CvMargin " + std::to_string(i) + "\t*PageSize ", out);
    WriteText(label_id, out);
    WriteText("\n", out);
  }
  return 0;
}

int AddLabel(LabelRequest request, LabelGeometry geometry) {
  TraceEnter(kTraceSource, "AddLabel");
  const std::string id =
      !request.label_id.empty()
          ? request.label_id
          : MakeLabelId(request.label_name.size(), static_cast<uint32_t>(request.width_mm),
                        request.length_mm);
  const PageSizeLines lines = MakePageSizeLines(id, request, geometry);
  constexpr std::string_view kCloseSizes = "*CloseUI: *PageSize";
  constexpr std::string_view kCloseRegions = "*CloseUI: *PageRegion";
  constexpr std::string_view kArea = "*ImageableArea";
  constexpr std::string_view kDimension = "*PaperDimension";
  // Margin constraints name the CvMargin option; a PPD without it would fail
  // validation with them, so they are written only when the PPD declares it.
  constexpr std::string_view kMarginOption = "*OpenUI *CvMargin";
  bool has_margin_option = false;
  // Only lines holding one of these can take an insertion or matter (the
  // first marker covers both closing lines); the area, dimension and margin
  // markers are dropped once their line is seen.
  std::vector<std::string_view> markers = {"*CloseUI: *Page", kArea, kDimension, kMarginOption};
  auto written = [&markers](std::string_view marker) { std::erase(markers, marker); };
  auto edit = [&](std::string_view line, LineWriter& out) {
    if (line.starts_with(kMarginOption)) {
      has_margin_option = true;
      written(kMarginOption);
    } else if (line.starts_with(kCloseSizes)) {
      WriteText(lines.page_size, out);
    } else if (line.starts_with(kCloseRegions)) {
      WriteText(lines.page_region, out);
    } else if (std::ranges::count(markers, kArea) > 0 && line.starts_with(kArea)) {
      WriteText(lines.imageable_area, out);
      written(kArea);
    } else if (std::ranges::count(markers, kDimension) > 0 && line.starts_with(kDimension)) {
      WriteText(lines.paper_dimension, out);
      written(kDimension);
    }
    WriteText(line, out);
  };
  auto finish = [&](LineWriter& out) {
    if (!has_margin_option) return;
    // A last line without a line feed stays so unless constraint lines follow
    // it; they must not be glued onto it.
    if (out.last_byte != '\n' && FirstConstrainedMargin(request.length_mm) <= kHighestMargin) {
      WriteText("\n", out);
    }
    SetConstraints(out, id, request.length_mm);
  };
  const std::string scratch = FixedPath(kScratchPpdPath);
  if (WriteEditedCopy(request.ppd_path, scratch, 0644, markers, edit, finish) != 0) {
    return -1;
  }
  return ReRegisterQueue(scratch);
}
