// Label identifiers: the 15-character key that ties together every line the
// tools write for one label format, how a fresh one is made, how a line that
// carries one is taken apart, and finding a label format by its name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// "CvL", name length (2 hex digits), width (2), length (3), seconds (1),
// microseconds (4): 15 characters for names up to 255 bytes and widths up to
// 255 mm.
inline constexpr char kLabelIdPrefix[] = "CvL";
inline constexpr size_t kLabelIdLength = 15;

// Formats a label identifier from its fields; the length keeps its low 12
// bits, the seconds their low 4 and the microseconds their low 16.
std::string FormatLabelId(size_t name_length, uint32_t width_mm, int64_t length_mm, long seconds,
                          long microseconds);

// Makes a fresh label identifier from the current time of day.
std::string MakeLabelId(size_t name_length, uint32_t width_mm, int64_t length_mm);

// The width field of the label identifier `id` and its length field (the
// length's low 12 bits), in millimetres.
unsigned LabelIdWidth(std::string_view id);
unsigned LabelIdLength(std::string_view id);

// Whether `text` holds "CvL" followed by 12 hexadecimal digits: what a line
// of another label format could be taken for.
bool HoldsLabelId(std::string_view text);

// Adds to `ids` every such identifier that a line of the file at `path`
// holds.  Returns false (errno set) when the file cannot be read.
bool CollectLabelIds(const std::string& path, std::set<std::string, std::less<>>* ids);

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

// Hands `each` every line of the file at `path` that begins with `prefix`
// and is a well-formed label line, taken apart, with its identifier.
// Returns false (errno set) when the file cannot be read.
bool ForEachLabelLine(const std::string& path, std::string_view prefix,
                      const std::function<void(const LabelLine&, std::string_view id)>& each);

// Appends to `ids`, in file order and once each, the identifiers of the label
// lines of the file at `path` that begin with `prefix` and carry `name`
// exactly.  Returns false (errno set) when the file cannot be read.
bool FindLabelIds(const std::string& path, std::string_view prefix, std::string_view name,
                  std::vector<std::string>* ids);

// Lookup_Label's results.
inline constexpr int kLabelFound = 1;
inline constexpr int kLabelAbsent = 0;
inline constexpr int kLabelFileUnreadable = -1;  // the CUPS build only

// Finds the label format called `name` in the file at `path`: returns
// kLabelFound and fills `id` (15 characters and a zero byte) with the
// identifier of the first matching line, kLabelAbsent when there is none.
// The CUPS build examines only lines that begin with "*PageSize" and returns
// -1 (errno set) when the file cannot be read; the LPRng build examines every
// line and takes an unreadable file for one without the format.
int Lookup_Label(const std::string& path, std::string_view name, char id[kLabelIdLength + 1]);

// Writes the name, width and length of every label format of the PPD at
// `path` (its "*PageSize" label lines), one per line, into "<path>.list".
// Returns the number of formats written, or -1 when `path` cannot be read or
// the list file cannot be written.
int List_Label(const std::string& path);
