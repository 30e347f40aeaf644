// Reading the command lines of both paper-size tools: option and value pairs,
// checked and stored by each tool's own table of options and the number
// options that both tools share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "paper_size_tool.h"

// What the pairs read so far said.
struct CommandOptions {
  std::string queue;       // -P or -list
  std::string label_name;  // -n or -d
  std::string label_id;    // -specid
  int64_t width_mm = 0;    // whole readings
  int64_t length_mm = 0;
  int64_t media_kind = 0;
  int64_t show_output = 1;
  LabelGeometry geometry;  // gap, width, length, margins, mark, mark offset
  // Which options were given.
  bool printer = false;
  bool list = false;
  bool add = false;
  bool remove = false;
  bool width = false;
  bool length = false;
  bool mark = false;
  bool mark_offset = false;
};

// What an option's value must be to be accepted.  Numbers are read leniently
// (ReadInteger, ReadFraction); a fraction that reads as infinite or not a
// number is refused.
enum class ValueRule {
  kAnyText,
  kQueueName,     // what CUPS accepts: at most 127 bytes, none of 0-32, 127, / \ ? ' " #
  kPpdLabelName,  // fits a PPD option line: no byte 0-31 or 127, no ':' or '"'
  kFileName,      // a file name and one line: no '/', no byte 0-31 or 127
  kPpdKeyword,    // a PPD option keyword: no byte 0-32 or 127, no ':', '"' or '/'
  kLabelWidth,    // whole part 1 to 255 (the identifier has two hexadecimal digits for it)
  kLabelLength,   // whole part at least 1
  kPositive,      // greater than 0
  kNonNegative,   // at least 0
  kCount,         // whole, at least 0
  kAnyWhole,
};

// Where an accepted value goes: its text, its whole reading and its
// fraction reading may each be kept, and the option marked as given.
struct OptionTarget {
  std::string CommandOptions::*text = nullptr;
  int64_t CommandOptions::*whole = nullptr;
  double LabelGeometry::*fraction = nullptr;
  bool CommandOptions::*mark = nullptr;
};

// One option.  An argument names it when it begins with `name` (or, for an
// `exact` row, is `name`); rows are tried in order.  The fields are in the
// order the tables read best in; a few bytes of padding do not matter here.
struct OptionRow {  // NOLINT(clang-analyzer-optin.performance.Padding)
  std::string_view name;
  ValueRule rule;
  size_t max_length;  // longest value in bytes (0: the tool's length for numbers); at least 1 byte
  OptionTarget target;
  bool exact = false;
};

enum class RunKind { kUsage, kAdd, kRemove, kList };

// Reads `args` (the arguments after the program name) as option and value
// pairs into `options`: each option is looked up in `table`, then among the
// number options both tools share (-w -h -g -t -b -l -r -S -m -o, values of
// at most `number_length` bytes).  Decides what the pairs ask for: kUsage for
// a count below 2 or odd, an option found nowhere, an empty or too long value
// or one its rule refuses (reading stops at that pair; `options` holds the
// pairs before it), and after the last pair for: a list together with a
// printer, an addition or a removal; no printer; an addition with a removal
// or without width and length; neither; and, when `marks_for_marked_media`,
// media kind 2 without both mark and mark offset.
RunKind ReadCommandLine(const std::vector<std::string>& args, std::span<const OptionRow> table,
                        size_t number_length, bool marks_for_marked_media, CommandOptions* options);

// The number readings of the command lines, in the manner of strtol (base
// 10) and strtod: leading white space skipped, trailing text ignored, a text
// without a number reads as 0.
int64_t ReadInteger(const char* text);
double ReadFraction(const char* text);
