// Choosing the command the print filter runs on a PostScript job: the page
// size its leading lines request, and the answer text naming the command.
#pragma once

#include <string>
#include <string_view>

#include "line_stream.h"

// The message written to standard error when the job cannot be opened.
inline constexpr char kUnreadableJobMessage[] = "ERROR:cvps2ps terminates.\n";

// A requested page size in PostScript points, kept in single precision as it
// was scanned; both are 0 when no page size was found.
struct PageSize {
  float width = 0;
  float height = 0;
};

// Reads `in` one line at a time for as long as each line contains "PageSize"
// (case-sensitive, anywhere in the line) and returns the last of these lines,
// without its line end; "" when the file is empty or its first line lacks the
// text.  The first line without "PageSize" ends the reading and nothing after
// it is read.  A carriage return, a line feed or the two together end a line;
// a line's text ends at its first zero byte, and of a line longer than
// kLineStartLimit only that much is looked at (ReadLineStart).  A failed read
// counts as the end of the file.
std::string ReadLeadingPageSizeLine(LineReader& in);

// Scans the text between the first "[" of `line` and the first "]" after it
// like sscanf with "%f %f": white space around and between the numbers is
// skipped, and a number that does not scan leaves its value and every value
// after it at 0.  Without such a pair of brackets both values are 0.
PageSize ScanPageSize(std::string_view line);

// The two key=value lines for the print filter, without a final line feed:
// the copy command "PSCOMMAND=cp\nCMDARGV=-f <first> <second>" when `size` is
// zero by zero (a negative zero counts as zero, a NaN does not), otherwise
// "PSCOMMAND=<command>\nCMDARGV=-w<width> -h<height> 1:0@1.0(<x>in,<y>in)
// <first> <second>" with every number printed as by "%f".  The arguments are
// copied as they stand, whatever their length or content.
std::string FormatAnswer(double shift_dots, PageSize size, std::string_view command,
                         std::string_view first_file, std::string_view second_file);
