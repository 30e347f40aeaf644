// The CUPS tool's command line: its option table and the records it fills.
#include "command_options.h"
#include "cups_tool.h"
#include "fixed_paths.h"

std::string printer_name;
int show_output = 1;

namespace {

using enum OptionField;
using enum ValueRule;

constexpr size_t kMaxQueueValue = 1024;
constexpr size_t kMaxValue = 32;

// Tried in this order; the first row whose name begins the argument wins.
// Only the exact argument "-list" lists, so every argument that named the
// left margin before still does.
constexpr OptionRow kOptions[] = {
    {"-list", kList, kQueueName, kMaxQueueValue, true},
    {"-P", kQueue, kQueueName, kMaxQueueValue},
    {"-n", kAddName, kPpdLabelName, kMaxValue},
    {"-d", kDeleteName, kAnyText, kMaxValue},
    {"-w", kWidth, kLabelWidth, kMaxValue},
    {"-h", kLength, kLabelLength, kMaxValue},
    {"-g", kGap, kNonNegative, kMaxValue},
    {"-t", kTop, kPositive, kMaxValue},
    {"-b", kBottom, kPositive, kMaxValue},
    {"-l", kLeft, kPositive, kMaxValue},
    {"-r", kRight, kPositive, kMaxValue},
    {"-S", kMediaKind, kCount, kMaxValue},
    {"-m", kMark, kNonNegative, kMaxValue},
    {"-o", kMarkOffset, kNonNegative, kMaxValue},
    {"-specid", kLabelId, kPpdKeyword, kMaxValue},
    {"-show", kShow, kAnyWhole, kMaxValue},
};

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandOptions options;
  CommandLine line;
  line.kind = ReadCommandLine(args, kOptions, false, &options);
  line.show_output = options.show_output;
  line.printer = options.queue;
  line.geometry = options.geometry;
  if (line.kind == RunKind::kUsage) return line;
  line.request = {FixedPath(kPpdDir) + options.queue + ".ppd", options.label_name,
                  options.label_id, options.width_mm, options.length_mm, options.media_kind};
  return line;
}
