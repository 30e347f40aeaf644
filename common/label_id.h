// Label identifiers: the 15-character key shared by every line of one label format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// "CvL" and the hex fields name length (2 digits), width (2), length (3),
// seconds (1) and microseconds (4): names up to 255 bytes, widths up to 255 mm.
inline constexpr char kLabelIdPrefix[] = "CvL";
inline constexpr size_t kLabelIdLength = 15;

// Formats a label identifier from its fields; the length keeps its low 12
// bits, the seconds their low 4 and the microseconds their low 16.
std::string FormatLabelId(size_t name_length, uint32_t width_mm, int64_t length_mm, long seconds,
                          long microseconds);

// A fresh label identifier from the current time of day.
std::string MakeLabelId(size_t name_length, uint32_t width_mm, int64_t length_mm);

// The width field of the label identifier `id` and its length field (the
// length's low 12 bits), in millimetres.
unsigned LabelIdWidth(std::string_view id);
unsigned LabelIdLength(std::string_view id);

// Whether `text` holds "CvL" and 12 hex digits, so could pass for a label line.
bool HoldsLabelId(std::string_view text);

// Adds to `ids` every such identifier that a line of the file at `path`
// holds.  Returns false (errno set) when the file cannot be read.
bool CollectLabelIds(const std::string& path, std::set<std::string, std::less<>>* ids);

struct LabelLine {
  size_t id_pos = 0;       // offset of "CvL" in the line
  std::string_view name;   // the name bytes behind the identifier and its "/"
  unsigned width_mm = 0;   // identifier's width field
  unsigned length_mm = 0;  // identifier's length field (low 12 bits)
};

// Takes apart the first "CvL" of `line`; false when there is none or it has no
// two hex digits at offsets 3 and 4, a name length above 99, a name cut by the
// line's end, or a zero byte in its 15 characters.  Reads nothing past the line.
bool ParseLabelLine(std::string_view line, LabelLine* out);

// Hands `each` every well-formed label line of `path` that begins with `prefix`,
// and its identifier.  Returns false (errno set) when the file cannot be read.
bool ForEachLabelLine(const std::string& path, std::string_view prefix,
                      const std::function<void(const LabelLine&, std::string_view id)>& each);

// Appends to `ids`, once each in file order, the identifiers of the label lines
// `prefix` begins that carry `name` exactly; false (errno set) when unreadable.
bool FindLabelIds(const std::string& path, std::string_view prefix, std::string_view name,
                  std::vector<std::string>* ids);

// Lookup_Label's results.
inline constexpr int kLabelFound = 1;
inline constexpr int kLabelAbsent = 0;
inline constexpr int kLabelFileUnreadable = -1;  // the CUPS build only

// Finds `name` in `path`: kLabelFound with `id` set to the first match's
// identifier and a zero byte, or kLabelAbsent.  The CUPS build reads "*PageSize"
// lines only and gives -1 (errno set) for an unreadable file; the LPRng build
// reads every line and takes an unreadable file for one without the format.
int Lookup_Label(const std::string& path, std::string_view name, char id[kLabelIdLength + 1]);

// Writes name, width and length of each "*PageSize" label format of the PPD at
// `path`, one per line, into "<path>.list".  Returns the number of formats, or
// -1 when `path` cannot be read or the list cannot be written.
int List_Label(const std::string& path);
