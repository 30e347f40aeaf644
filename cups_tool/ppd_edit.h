// The one edit that puts label formats into a PPD, used by every addition.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "cups_tool.h"
#include "line_stream.h"

// Default-setting keywords: a line that carries a label identifier and one of
// these names that format as the queue's default.  Tested in this order.
inline constexpr std::array<std::string_view, 4> kDefaultKeywords = {
    "*DefaultPageSize:", "*DefaultPageRegion:", "*DefaultImageableArea:",
    "*DefaultPaperDimension:"};

// A label format to put into a PPD, and the identifier of an earlier format
// of the same name that it replaces ("" for none).  A format that replaces
// its own identifier keeps it: its lines are replaced where they stand.
struct PpdInsertion {
  LabelFormat format;
  std::string replaces;
};

// WriteEditedPpd's result when the PPD already is what the edit makes of it.
inline constexpr int kPpdUnchanged = 2;

// Copies the PPD at `ppd_path` into a file created afresh at `scratch` (mode
// 0644) with `insertions`, in their order, as additions put them, one after
// another: the page-size and page-region lines before every
// "*CloseUI: *PageSize" and "*CloseUI: *PageRegion" line (any blanks or tabs
// after the colon), the imageable-area and paper-dimension lines before the
// first "*ImageableArea" and "*PaperDimension" line, and, when the PPD declares
// the CvMargin option, the margin constraints at the end, before a last line
// that has no line ending.  Added lines take the line ending of the PPD's
// first line.  The lines of a replaced format are left out, but a default line
// that names it names its successor instead; the lines of a format that keeps
// its identifier are replaced where they stand (its constraints, which depend
// on what the identifier carries, stay), and only the lines it lacks go where
// an addition puts them.
// Ends in kPpdUnchanged, with nothing written, when every insertion keeps its
// identifier and the PPD already holds exactly its lines; fails with
// kFileError when the PPD cannot be read or the copy cannot be written whole,
// and with kNoPlaceInPpd, naming the place, when the PPD lacks one.  Nothing
// is left at `scratch` after a failure.
Outcome WriteEditedPpd(const std::string& ppd_path, const std::string& scratch,
                       const std::vector<PpdInsertion>& insertions);

// Writes the lines "*UIConstraints:\t*CvMargin <i>\t*PageSize <label_id>",
// each ended by `line_end`, to `out` for i from half of `length_mm` (rounded
// up, at least 3) to 30; none for labels longer than 60 mm.  Always returns
// 0; a failed write shows in out.error.
int SetConstraints(LineWriter& out, std::string_view label_id, int64_t length_mm,
                   std::string_view line_end);
