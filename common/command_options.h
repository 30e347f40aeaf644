// Reading the command lines of both paper-size tools: option and value pairs,
// checked and stored by each tool's own table of options and the number
// options that both tools share, and the modes that take a whole command line
// of their own.
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
  std::string queue;       // -P, or the queue of a mode
  std::string label_name;  // -n or -d
  std::string label_id;    // -specid
  int64_t width_mm = 0;    // whole readings
  int64_t length_mm = 0;
  int64_t media_kind = 0;
  int64_t show_output = 1;
  LabelGeometry geometry;  // gap, width, length, margins, mark, mark offset
  // Which options were given.
  bool printer_given = false;
  bool add_given = false;
  bool remove_given = false;
  bool width_given = false;
  bool length_given = false;
  bool mark_given = false;
  bool mark_offset_given = false;
};

// What an option's value must be to be accepted.  Numbers are read leniently,
// in the manner of strtol (base 10) and strtod: leading white space skipped,
// trailing text ignored, a text without a number reads as 0; a fraction that
// reads as infinite or not a number is refused.
enum class ValueRule {
  kAnyText,
  kQueueName,     // what CUPS accepts: at most 127 bytes, none of 0-32, 127, / \ ? ' " #
  kPpdLabelName,  // fits a PPD option line: no byte 0-31 or 127, no ':' or '"', no identifier
  kFileName,      // a file name and one line: no '/', no byte 0-31 or 127, no identifier
  kPpdKeyword,    // a PPD option keyword: no byte 0-32 or 127, no ':', '"' or '/'
  kLabelWidth,    // whole part 1 to 255 (the identifier has two hexadecimal digits for it)
  kLabelLength,   // whole part at least 1; both: the whole reading is the fraction's whole part
  kPositive,      // greater than 0
  kNonNegative,   // at least 0
  kCount,         // whole, at least 0
};

// Where an accepted value goes: its text, its whole reading and its
// fraction reading may each be kept, and the option marked as given.
struct OptionTarget {
  std::string CommandOptions::*text = nullptr;
  int64_t CommandOptions::*whole = nullptr;
  double LabelGeometry::*fraction = nullptr;
  bool CommandOptions::*given = nullptr;
};

// One option.  An argument names it when it begins with `name`; rows are
// tried in order.
struct OptionRow {
  std::string_view name;
  ValueRule rule;
  size_t max_length;  // longest value in bytes (0: the tool's length for values); at least 1 byte
  OptionTarget target;
};

enum class RunKind { kUsage, kAdd, kRemove, kList, kSync };

// What sets one tool's command line apart from the other's.
struct CommandRules {
  size_t queue_length;                       // longest -P value
  size_t value_length;                       // longest value of every other option
  ValueRule name_rule;                       // what an -n name must be
  ValueRule listed_queue;                    // what the queue of -list must be
  bool marks_for_marked_media;               // media kind 2 needs -m and -o
  std::span<const OptionRow> extra_options;  // tried after -P -n -d, before the number options
};

// Reads `args` (the arguments after the program name) into `options`.  Exactly
// "-list <queue>" asks for kList and "-sync <queue>" (a queue name CUPS
// accepts) for kSync: such lines were usage errors before these modes
// existed, and anywhere else "-list" is the left margin.  Any other line is
// option and value pairs: -P (a queue name CUPS accepts), -n, -d, the tool's
// extra options, then the number options both tools share (-w -h -g -t -b -l
// -r -S -m -o), each matched by prefix.  Decides what they ask for: kUsage
// for a count below 2 or odd, an option found nowhere, an empty or too long
// value or one its rule refuses (reading stops at that pair; `options` holds
// the pairs before it), and after the last pair for: no printer; an addition
// with a removal or without width and length; neither; and, with
// marks_for_marked_media, media kind 2 without both mark and mark offset.
RunKind ReadCommandLine(const std::vector<std::string>& args, const CommandRules& rules,
                        CommandOptions* options);

// Whether `name` is a label name that a PPD takes: at most 32 bytes, and what
// kPpdLabelName accepts.
bool IsPpdLabelName(std::string_view name);
