// The one edit that puts label formats into a PPD, with their margin constraints.
#include "ppd_edit.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <optional>

#include "file_rewrite.h"
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

// The label lines of a format, in the order an addition writes them.
enum LineKind : size_t {
  kSizeLine,
  kRegionLine,
  kAreaLine,
  kDimensionLine,
  kConstraintLine,
  kKinds
};
constexpr std::string_view kLeads[] = {"*PageSize ", "*PageRegion ", "*ImageableArea ",
                                       "*PaperDimension "};

// What kind of line of the format `id` `line` is; kKinds for none.
size_t KindOf(std::string_view line, std::string_view id) {
  for (size_t kind = kSizeLine; kind < kConstraintLine; ++kind) {
    if (line.starts_with(kLeads[kind]) && line.substr(kLeads[kind].size()).starts_with(id))
      return kind;
  }
  const bool constraint = line.starts_with("*UIConstraints:") && line.find(id) != line.npos;
  return constraint ? kConstraintLine : kKinds;
}

// An insertion, and which of its lines the PPD holds already (when it keeps
// its identifier): those are replaced where they stand.
struct Insertion {
  explicit Insertion(const PpdInsertion& insertion) : wanted(insertion) {}
  const PpdInsertion& wanted;
  std::array<bool, kKinds> in_place{};
  bool Keeps() const { return wanted.replaces == wanted.format.request.label_id; }
};

// The line of `kind` (not a constraint) that an addition writes for `format`.
std::string LabelLineText(size_t kind, const LabelFormat& format, std::string_view end) {
  const LabelRequest& request = format.request;
  const std::string option = request.label_id + "/" + request.label_name;
  if (kind <= kRegionLine)
    return std::string(kLeads[kind]) + option + ":\t\t\"          \"" + std::string(end);
  if (kind == kAreaLine) {
    const ImageableArea area = ImageableAreaOf(format.geometry);
    return FormatText("*ImageableArea %s:\t\"%.2f %.2f %.2f %.2f\"%s", option.c_str(), area.left,
                      area.top, area.width_less_right, area.length_less_bottom,
                      std::string(end).c_str());
  }
  // The paper dimension takes the whole millimetres, the imageable area the
  // width and length as given.
  return FormatText("*PaperDimension %s:\t\"%.2f %.2f\"%s", option.c_str(),
                    Points(static_cast<double>(request.width_mm)),
                    Points(static_cast<double>(request.length_mm)), std::string(end).c_str());
}

// What the insertions add where additions put lines, by kind: page sizes and
// regions in order, areas and dimensions last insertion first (each addition
// puts its line first).
std::array<std::string, kConstraintLine> MakeText(const std::vector<Insertion>& insertions,
                                                  std::string_view end) {
  std::array<std::string, kConstraintLine> text;
  for (const Insertion& insertion : insertions) {
    for (size_t kind = kSizeLine; kind < kConstraintLine; ++kind) {
      if (insertion.in_place[kind]) continue;
      const std::string line = LabelLineText(kind, insertion.wanted.format, end);
      text[kind].insert(kind <= kRegionLine ? text[kind].size() : 0, line);
    }
  }
  return text;
}

// One pass over the PPD: where each part has gone so far.
struct PpdPass {
  const std::vector<Insertion>* insertions;
  std::optional<std::array<std::string, kConstraintLine>> text;  // made at the first line,
                                                                 // which gives the line ending
  std::string line_end = "\n";
  bool margin_option = false;         // the PPD declares "*OpenUI *CvMargin"
  std::array<bool, kKinds> placed{};  // where additions put lines, constraints at the end
};

void WriteConstraints(PpdPass& pass, LineWriter& out) {
  pass.placed[kConstraintLine] = true;
  if (!pass.margin_option) return;
  for (const Insertion& insertion : *pass.insertions) {
    if (insertion.in_place[kConstraintLine]) continue;
    const LabelRequest& request = insertion.wanted.format.request;
    SetConstraints(out, request.label_id, request.length_mm, pass.line_end);
  }
}

// Writes `line` as it stays: left out when it carries a replaced format,
// unless it sets a default, which then names the replacing format, or it is
// a line of a format that keeps its identifier, which is replaced in place.
void WriteKeptLine(const PpdPass& pass, std::string_view line, LineWriter& out) {
  for (const Insertion& insertion : *pass.insertions) {
    const std::string& old_id = insertion.wanted.replaces;
    if (old_id.empty() || line.find(old_id) == std::string_view::npos) continue;
    const LabelFormat& format = insertion.wanted.format;
    if (std::ranges::any_of(kDefaultKeywords, [line](std::string_view keyword) {
          return line.find(keyword) != std::string_view::npos;
        })) {
      return WriteText(ReplaceAll(line, old_id, format.request.label_id), out);
    }
    const size_t kind = insertion.Keeps() ? KindOf(line, old_id) : kKinds;
    if (kind == kConstraintLine) WriteText(line, out);
    if (kind < kConstraintLine) WriteText(LabelLineText(kind, format, pass.line_end), out);
    return;
  }
  WriteText(line, out);
}

void EditLine(PpdPass& pass, std::string_view line, LineWriter& out) {
  if (!pass.text) {
    if (!LineEnding(line).empty()) pass.line_end = LineEnding(line);
    pass.text = MakeText(*pass.insertions, pass.line_end);
  }
  if (NamesAfter(line, "*OpenUI", "*CvMargin")) pass.margin_option = true;
  size_t kind = kKinds;
  if (NamesAfter(line, "*CloseUI:", "*PageSize")) {
    kind = kSizeLine;
  } else if (NamesAfter(line, "*CloseUI:", "*PageRegion")) {
    kind = kRegionLine;
  } else if (!pass.placed[kAreaLine] && line.starts_with(kArea)) {
    kind = kAreaLine;
  } else if (!pass.placed[kDimensionLine] && line.starts_with(kDimension)) {
    kind = kDimensionLine;
  }
  if (kind != kKinds) {
    WriteText((*pass.text)[kind], out);
    pass.placed[kind] = true;
  }
  // The constraints come last, but before a last line without a line ending,
  // so that a removal gives that line back as it was.
  if (LineEnding(line).empty()) WriteConstraints(pass, out);
  WriteKeptLine(pass, line, out);
}

// The place the PPD lacks for one of the lines, or "" when it has them all.
std::string_view MissingPlace(const PpdPass& pass) {
  if (!pass.placed[kSizeLine]) return "\"*CloseUI: *PageSize\"";
  if (!pass.placed[kRegionLine]) return "\"*CloseUI: *PageRegion\"";
  if (!pass.placed[kAreaLine]) return "\"*ImageableArea\"";
  return pass.placed[kDimensionLine] ? "" : "\"*PaperDimension\"";
}

// The insertions, with the lines that those keeping their identifiers find
// in the PPD at `ppd_path` already.  False (errno set) when it cannot be read.
bool FindLinesInPlace(const std::string& ppd_path, std::vector<Insertion>* insertions) {
  if (std::ranges::none_of(*insertions, &Insertion::Keeps)) return true;
  return ForEachLine(ppd_path, [insertions](std::string_view line) {
    for (Insertion& insertion : *insertions) {
      const size_t kind = insertion.Keeps() ? KindOf(line, insertion.wanted.replaces) : kKinds;
      if (kind != kKinds) insertion.in_place[kind] = true;
    }
    return true;
  });
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

Outcome WriteEditedPpd(const std::string& ppd_path, const std::string& scratch,
                       const std::vector<PpdInsertion>& wanted) {
  std::vector<Insertion> insertions(wanted.begin(), wanted.end());
  if (!FindLinesInPlace(ppd_path, &insertions)) return FileFailure(ppd_path);
  PpdPass pass{&insertions, std::nullopt};
  auto edit = [&pass](std::string_view line, LineWriter& out) { EditLine(pass, line, out); };
  auto finish = [&pass](LineWriter& out) {
    if (!pass.placed[kConstraintLine]) WriteConstraints(pass, out);
  };
  if (std::ranges::all_of(insertions, &Insertion::Keeps)) {
    const int changes = EditChangesFile(ppd_path, edit, finish);
    if (changes < 0) return FileFailure(ppd_path);
    if (changes == 0) return Failure({}, kPpdUnchanged, "");
    pass = PpdPass{&insertions, std::nullopt};
  }
  if (WriteEditedCopy(ppd_path, scratch, 0644, edit, finish) != 0) return FileFailure(scratch);
  const std::string_view missing = MissingPlace(pass);
  if (missing.empty()) return {};
  unlink(scratch.c_str());
  return Failure({}, kNoPlaceInPpd, "its PPD has no " + std::string(missing) + " line");
}
