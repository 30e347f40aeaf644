// The shared label-format library of both paper-size tools: line I/O, label
// identifiers, finding and listing label formats, the entry trace and the
// debug log.
//
// The library is compiled once per tool.  The CUPS build (inside
// cvpapertoolcups) looks only at "*PageSize" lines when it finds a label
// format and reports an unreadable file as -1; the LPRng build (inside
// cvpapertoollpr, compiled with CORVANE_LPRNG_BUILD) looks at every line and
// reports an unreadable file as 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "line_stream.h"

// Result codes of the file-editing operations.
inline constexpr int kDone = 0;
inline constexpr int kNotPresent = 1;
inline constexpr int kFileError = -1;
inline constexpr int kCommandError = -2;

// The label geometry shared by both tools.  Lengths are millimetres;
// `resolution` (dots per inch) and `max_print_width` (dots) are set by the
// LPRng tool only.
struct LabelGeometry {
  double gap = 0;
  double width = 0;
  double length = 0;
  double top = 0;
  double bottom = 0;
  double left = 0;
  double right = 0;
  double mark = 0;
  double mark_offset = 0;
  double resolution = 0;
  double max_print_width = 0;
};

// PostScript points (1/72 inch) from millimetres: divided first, then
// multiplied, in double precision, as every value in the files was written.
inline double Points(double mm) { return mm / 25.4 * 72.0; }

// The imageable area of a label in points, in the order the files carry it:
// left margin, top margin, width less right margin, length less bottom
// margin.  The second value is the top margin and the fourth the length less
// the bottom margin, as the driver's filters have always read them.
struct ImageableArea {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;
};
inline ImageableArea ImageableAreaOf(const LabelGeometry& g) {
  return {Points(g.left), Points(g.top), Points(g.width - g.right), Points(g.length - g.bottom)};
}

// Media kinds ("-S").
inline constexpr int kContinuousTape = 0;
inline constexpr int kDieCutLabel = 1;
inline constexpr int kMarkedMedia = 2;

// The one way every main runs a tool's work: returns run(argc, argv), or,
// when an exception escapes it, writes "<program>: <message>" on standard
// error and returns exit status 1.
int RunGuarded(const char* program, int (*run)(int argc, char** argv), int argc, char** argv);

// Source name given to every entry trace.
inline constexpr char kTraceSource[] = "paper_size_tool";

// Entry trace called first by every named operation; it does nothing.
void TraceEnter(const char* source, const char* operation);

// Appends printf-style text to the debug log, opened on first use and kept
// open for the rest of the process.  Only a regular file of the process's own
// user that has no other name is appended to (created when missing); a
// symbolic link, a FIFO, a directory, a hard link or another user's file at
// the name counts as a log that cannot be opened.  Returns the number of
// characters written.  When the log cannot be opened or written, prints a
// message on standard output and ends the process with status 1.
int DebugLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// ---- Line I/O --------------------------------------------------------------
// fread_line_string and fwrite_line_string work on the descriptor streams of
// line_stream.h; every file the tools read or write goes through them.

// ---- Label identifiers -----------------------------------------------------

// "CvL", name length (2 hex digits), width (2), length (3), seconds (1),
// microseconds (4): 15 characters for names up to 255 bytes and widths up to
// 255 mm.
inline constexpr char kLabelIdPrefix[] = "CvL";
inline constexpr size_t kLabelIdLength = 15;
// The longest name that can be read back from a label line.
inline constexpr size_t kMaxReadableName = 99;

// Formats a label identifier from its fields; the length keeps its low 12
// bits, the seconds their low 4 and the microseconds their low 16.
std::string FormatLabelId(size_t name_length, uint32_t width_mm, int64_t length_mm, long seconds,
                          long microseconds);

// Makes a fresh label identifier from the current time of day.
std::string MakeLabelId(size_t name_length, uint32_t width_mm, int64_t length_mm);

// A label line taken apart: where its identifier starts and what it carries.
struct LabelLine {
  size_t id_pos = 0;       // offset of "CvL" in the line
  std::string_view name;   // the name bytes behind the identifier and its "/"
  unsigned width_mm = 0;   // identifier's width field
  unsigned length_mm = 0;  // identifier's length field (low 12 bits)
};

// Takes apart the first "CvL" of `line`.  Returns false when the line holds no
// "CvL" or the occurrence is not a well-formed label identifier: offsets 3 and
// 4 not two hexadecimal digits, a name length above 99, a line that ends
// before the name does, or a zero byte among the 15 identifier characters.
// Nothing is read past the end of the line.
bool ParseLabelLine(std::string_view line, LabelLine* out);

// Finds the label format called `name` in the file at `path`.  Returns 1 and
// fills `id` (15 characters and a zero byte) with the identifier of the first
// matching line; 0 when there is none; when the file cannot be opened, -1 in
// the CUPS build and 0 in the LPRng build.  The CUPS build examines only lines
// beginning with "*PageSize".
int Lookup_Label(const std::string& path, std::string_view name, char id[kLabelIdLength + 1]);

// Writes the name, width and length of every label format of the PPD at
// `path` (its "*PageSize" label lines), one per line, into "<path>.list".
// Returns the number of formats written, or -1 when `path` or the list file
// cannot be opened.
int List_Label(const std::string& path);

// ---- Listing label formats ---------------------------------------------------

// A label format as a listing names it.
struct LabelEntry {
  std::string id;    // the 15 identifier characters
  std::string name;  // the name behind the identifier
};

// Reads, in file order, the label formats of the file at `path`: each line
// that begins with `prefix` and is a well-formed label line (identifier, "/"
// and name) gives one entry; a later line with an identifier already listed
// adds nothing.  Returns false (errno set) when the file cannot be read.
bool ReadLabelEntries(const std::string& path, std::string_view prefix,
                      std::vector<LabelEntry>* entries);

// A label format's width and length in PostScript points.
struct LabelSize {
  double width = 0;
  double length = 0;
};

// Reads the sizes that the lines of the file at `path` beginning with
// `prefix` give their label identifiers: the last two numbers of each line
// that carries one (a PPD's "*PaperDimension <id>/<name>: "w l"" or an
// information file's "<id>\t:\tw\tl"); the first line of an identifier wins.
// Returns false (errno set) when the file cannot be read.
bool ReadLabelSizes(const std::string& path, std::string_view prefix,
                    std::map<std::string, LabelSize>* sizes);

// One line of a listing: identifier, width and length in millimetres with
// two decimals ("-" for each when `sizes` holds none for the identifier) and
// the name, separated by TABs, without a line feed.
std::string ListingLine(const LabelEntry& entry, const std::map<std::string, LabelSize>& sizes);
