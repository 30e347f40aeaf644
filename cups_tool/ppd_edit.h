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

// WriteEditedPpd's result when the PPD already is what the edit makes of it.
inline constexpr int kPpdUnchanged = 2;

// Copies the PPD at `ppd_path` into a fresh file at `scratch` (mode 0644)
// with `insertions`, in order: page-size and page-region lines before every
// "*CloseUI: *PageSize"/"*PageRegion" line, imageable-area and
// paper-dimension lines before the first line of their keyword, and, when
// the PPD declares CvMargin, the constraints at the end (before an unended
// last line).  Added lines take the first line's ending.  A replaced format's
// lines go, but defaults naming it name its successor; a format that keeps
// its identifier is replaced where it stands (its constraints stay).
// Ends in kPpdUnchanged, nothing written, when the PPD already is the result;
// fails with kFileError, or with kNoPlaceInPpd naming the missing place, and
// then leaves nothing at `scratch`.
Outcome WriteEditedPpd(const std::string& ppd_path, const std::string& scratch,
                       const std::vector<PpdInsertion>& insertions);

// Writes "*UIConstraints:\t*CvMargin <i>\t*PageSize <label_id>" lines for i
// from half of `length_mm` (rounded up, at least 3) to 30: none above 60 mm.
// Returns 0; a failed write shows in out.error.
int SetConstraints(LineWriter& out, std::string_view label_id, int64_t length_mm,
                   std::string_view line_end);
