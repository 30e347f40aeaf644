// Command-line reading shared by both paper-size tools: option tables and modes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "paper_size_tool.h"

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

// What a value must be.  Numbers are read leniently by strtol (base 10) and
// strtod, a text without a number as 0; infinite and NaN fractions are refused.
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

// Where an accepted value is stored; null members are skipped.
struct OptionTarget {
  std::string CommandOptions::*text = nullptr;
  int64_t CommandOptions::*whole = nullptr;
  double LabelGeometry::*fraction = nullptr;
  bool CommandOptions::*given = nullptr;
};

// An option, named by any argument that begins with `name`; rows are tried in order.
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

// Reads `args` (after the program name) into `options`.  Exactly "-list <queue>"
// gives kList and "-sync <queue>" kSync (such lines were usage errors before, and
// elsewhere "-list" is the left margin); other lines are option and value pairs.
// kUsage for an odd count or one below 2; an unknown option or an empty, too long
// or refused value (`options` then holds the pairs before it); no printer, both
// or neither of -n and -d, an addition without -w and -h, or, with
// marks_for_marked_media, media kind 2 without -m and -o.
RunKind ReadCommandLine(const std::vector<std::string>& args, const CommandRules& rules,
                        CommandOptions* options);

// Whether a PPD takes `name`: at most kMaxPpdLabelName bytes that kPpdLabelName accepts.
bool IsPpdLabelName(std::string_view name);
