// Listings of label formats: the formats of a file, their sizes, one line each.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

struct LabelEntry {
  std::string id;    // the 15 identifier characters
  std::string name;  // the name behind the identifier
};

// Reads, in file order, one entry per identifier from the well-formed label lines
// of `path` that begin with `prefix`; false (errno set) when it cannot be read.
bool ReadLabelEntries(const std::string& path, std::string_view prefix,
                      std::vector<LabelEntry>* entries);

// Reads, per identifier, the last `count` numbers of the lines of `path` that
// begin with `prefix` (for two: a PPD's `*PaperDimension <id>/<name>: "w l"` or
// an information file's "<id>\t:\tw\tl").  The first line of an identifier
// wins; a line not ending in `count` numbers gives nothing.  Returns false
// (errno set) when the file cannot be read.
bool ReadLabelValues(const std::string& path, std::string_view prefix, size_t count,
                     std::map<std::string, std::vector<double>>* values);

// One listing line, TAB-separated, without a line feed: identifier, width and
// length in mm with two decimals from the points in `sizes` ("-" each when
// absent), and name.
std::string ListingLine(const LabelEntry& entry,
                        const std::map<std::string, std::vector<double>>& sizes);
