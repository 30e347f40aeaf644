// What a listing of label formats shows: the formats of a file, the numbers
// its lines give them, and one line per format.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

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

// Reads the numbers that the lines of the file at `path` beginning with
// `prefix` give their label identifiers: the last `count` numbers of each line
// that carries one, in line order (a PPD's "*PaperDimension <id>/<name>: "w
// l"" or an information file's "<id>\t:\tw\tl" for two); the first line of an
// identifier wins, and a line that does not end in `count` numbers gives
// nothing.  Returns false (errno set) when the file cannot be read.
bool ReadLabelValues(const std::string& path, std::string_view prefix, size_t count,
                     std::map<std::string, std::vector<double>>* values);

// One line of a listing: identifier, width and length in millimetres with
// two decimals from the two points of `sizes` ("-" for each when it holds none
// for the identifier) and the name, separated by TABs, without a line feed.
std::string ListingLine(const LabelEntry& entry,
                        const std::map<std::string, std::vector<double>>& sizes);
