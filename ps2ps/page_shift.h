// The page size a PostScript job's leading lines request, and cvps2ps's answer.
#pragma once

#include <string>
#include <string_view>

#include "line_stream.h"

inline constexpr char kUnreadableJobMessage[] = "ERROR:cvps2ps terminates.\n";

// A requested page size in PostScript points, kept in single precision as it
// was scanned; both are 0 when no page size was found.
struct PageSize {
  float width = 0;
  float height = 0;
};

// The last of the leading lines of `in` that contain "PageSize" (case-sensitive),
// or "" when the first does not; nothing after the first other line is read.
// Lines are read by ReadLineStart, and their text ends at a zero byte.
std::string ReadLeadingPageSizeLine(LineReader& in);

// Scans the text between the first "[" of `line` and the next "]" like sscanf
// "%f %f": a number that does not scan leaves it and any after it at 0, as does
// a line without such brackets.
PageSize ScanPageSize(std::string_view line);

// The answer for the print filter, without a final line feed:
// "PSCOMMAND=cp\nCMDARGV=-f <first> <second>" for a 0 by 0 size (-0 counts as
// 0, NaN does not), else "PSCOMMAND=<command>\nCMDARGV=-w<width> -h<height>
// 1:0@1.0(<x>in,<y>in) <first> <second>", numbers as by "%f".  The arguments
// are copied as they stand.
std::string FormatAnswer(double shift_dots, PageSize size, std::string_view command,
                         std::string_view first_file, std::string_view second_file);
