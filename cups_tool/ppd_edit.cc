// The one edit that puts label formats into a PPD.
#include "ppd_edit.h"

#include <unistd.h>

#include <algorithm>
#include <optional>

#include "file_rewrite.h"
#include "reregister_queue.h"
#include "text_format.h"
#include "units.h"

namespace {

constexpr std::string_view kArea = "*ImageableArea";
constexpr std::string_view kDimension = "*PaperDimension";

// Whether `line` is `lead`, any blanks or tabs, then the whole keyword
// `keyword`: "*CloseUI:\t*PageSize" closes the page sizes as well as
// "*CloseUI: *PageSize" does.
bool NamesAfter(std::string_view line, std::string_view lead, std::string_view keyword) {
  if (!line.starts_with(lead)) return false;
  line.remove_prefix(lead.size());
  line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
  return line.starts_with(keyword) &&
         (line.size() == keyword.size() ||
          std::string_view(" \t\r\n/:").find(line[keyword.size()]) != std::string_view::npos);
}

// What the insertions add to the PPD, each part ready to be written.
struct InsertedText {
  std::string page_sizes;
  std::string page_regions;
  std::string areas;       // last insertion first: each addition puts its line first
  std::string dimensions;  // likewise
  std::string constraints;
};

InsertedText MakeText(const std::vector<PpdInsertion>& insertions, std::string_view end) {
  InsertedText text;
  for (const PpdInsertion& insertion : insertions) {
    const LabelRequest& request = insertion.format.request;
    const std::string option = request.label_id + "/" + request.label_name;
    const ImageableArea area = ImageableAreaOf(insertion.format.geometry);
    text.page_sizes += "*PageSize " + option + ":\t\t\"          \"" + std::string(end);
    text.page_regions += "*PageRegion " + option + ":\t\t\"          \"" + std::string(end);
    text.areas.insert(
        0, FormatText("*ImageableArea %s:\t\"%.2f %.2f %.2f %.2f\"%s", option.c_str(), area.left,
                      area.top, area.right, area.bottom, std::string(end).c_str()));
    // The paper dimension takes the whole millimetres, the imageable area the
    // width and length as given.
    text.dimensions.insert(
        0, FormatText("*PaperDimension %s:\t\"%.2f %.2f\"%s", option.c_str(),
                      Points(static_cast<double>(request.width_mm)),
                      Points(static_cast<double>(request.length_mm)), std::string(end).c_str()));
  }
  return text;
}

// One pass over the PPD: where each part has gone so far.
struct PpdPass {
  const std::vector<PpdInsertion>& insertions;
  std::optional<InsertedText> text;  // made at the first line, which gives the line ending
  std::string line_end = "\n";
  bool margin_option = false;  // the PPD declares "*OpenUI *CvMargin"
  bool sizes = false, regions = false, area = false, dimension = false, constraints = false;
};

void WriteConstraints(PpdPass& pass, LineWriter& out) {
  pass.constraints = true;
  if (!pass.margin_option) return;
  for (const PpdInsertion& insertion : pass.insertions) {
    const LabelRequest& request = insertion.format.request;
    SetConstraints(out, request.label_id, request.length_mm, pass.line_end);
  }
}

// Writes `line` as it stays: left out when it carries a replaced format,
// unless it sets a default, which then names the replacing format.
void WriteKeptLine(const PpdPass& pass, std::string_view line, LineWriter& out) {
  for (const PpdInsertion& insertion : pass.insertions) {
    const std::string& old_id = insertion.replaces;
    if (old_id.empty() || line.find(old_id) == std::string_view::npos) continue;
    if (std::ranges::none_of(kDefaultKeywords, [line](std::string_view keyword) {
          return line.find(keyword) != std::string_view::npos;
        })) {
      return;
    }
    WriteText(ReplaceAll(line, old_id, insertion.format.request.label_id), out);
    return;
  }
  WriteText(line, out);
}

void EditLine(PpdPass& pass, std::string_view line, LineWriter& out) {
  if (!pass.text) {
    if (!LineEnding(line).empty()) pass.line_end = LineEnding(line);
    pass.text = MakeText(pass.insertions, pass.line_end);
  }
  if (NamesAfter(line, "*OpenUI", "*CvMargin")) pass.margin_option = true;
  if (NamesAfter(line, "*CloseUI:", "*PageSize")) {
    WriteText(pass.text->page_sizes, out);
    pass.sizes = true;
  } else if (NamesAfter(line, "*CloseUI:", "*PageRegion")) {
    WriteText(pass.text->page_regions, out);
    pass.regions = true;
  } else if (!pass.area && line.starts_with(kArea)) {
    WriteText(pass.text->areas, out);
    pass.area = true;
  } else if (!pass.dimension && line.starts_with(kDimension)) {
    WriteText(pass.text->dimensions, out);
    pass.dimension = true;
  }
  // The constraints come last, but before a last line without a line ending,
  // so that a removal gives that line back as it was.
  if (LineEnding(line).empty()) WriteConstraints(pass, out);
  WriteKeptLine(pass, line, out);
}

// The place the PPD lacks for one of the lines, or "" when it has them all.
std::string_view MissingPlace(const PpdPass& pass) {
  if (!pass.sizes) return "\"*CloseUI: *PageSize\"";
  if (!pass.regions) return "\"*CloseUI: *PageRegion\"";
  if (!pass.area) return "\"*ImageableArea\"";
  return pass.dimension ? "" : "\"*PaperDimension\"";
}

}  // namespace

int WriteEditedPpd(const std::string& ppd_path, const std::string& scratch,
                   const std::vector<PpdInsertion>& insertions) {
  PpdPass pass{insertions, std::nullopt};
  auto edit = [&pass](std::string_view line, LineWriter& out) { EditLine(pass, line, out); };
  auto finish = [&pass](LineWriter& out) {
    if (!pass.constraints) WriteConstraints(pass, out);
  };
  if (WriteEditedCopy(ppd_path, scratch, 0644, edit, finish) != 0) return kFileError;
  const std::string_view missing = MissingPlace(pass);
  if (missing.empty()) return kDone;
  unlink(scratch.c_str());
  ReportUnchangedQueue("its PPD has no " + std::string(missing) + " line");
  return kNoPlaceInPpd;
}
