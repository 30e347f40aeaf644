// The CUPS tool's command line: its modes, its own options and the records it fills.
#include "cups_tool.h"
#include "fixed_paths.h"

std::string printer_name;
int show_output = 1;

namespace {

using enum ValueRule;
using O = CommandOptions;

constexpr size_t kMaxQueueValue = 1024;

constexpr ModeRow kModes[] = {
    {"-list", RunKind::kList, kQueueName, kMaxQueueValue},
    {"-sync", RunKind::kSync, kQueueName, kMaxQueueValue},
};

// Tried before the number options, in this order; the first row whose name
// begins the argument wins, so "-Pxyz" counts as "-P".
constexpr OptionRow kOptions[] = {
    {"-P", kQueueName, kMaxQueueValue, {.text = &O::queue, .given = &O::printer_given}},
    {"-n", kPpdLabelName, kMaxPpdLabelName, {.text = &O::label_name, .given = &O::add_given}},
    {"-d", kAnyText, kMaxPpdLabelName, {.text = &O::label_name, .given = &O::remove_given}},
    {"-specid", kPpdKeyword, kMaxPpdLabelName, {.text = &O::label_id}},
    {"-show", kAnyText, kMaxPpdLabelName, {.whole = &O::show_output}},
};

// Every value but that of -P is at most 32 bytes long, numbers included.
constexpr CommandTable kTable = {kModes, kOptions, kMaxPpdLabelName, false};

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandOptions options;
  CommandLine line;
  line.kind = ReadCommandLine(args, kTable, &options);
  line.show_output = static_cast<int32_t>(options.show_output);
  if (line.kind == RunKind::kUsage) return line;
  line.printer = options.queue;
  line.geometry = options.geometry;
  line.request = {FixedPath(kPpdDir) + options.queue + ".ppd",
                  options.label_name,
                  options.label_id,
                  options.width_mm,
                  options.length_mm,
                  static_cast<int32_t>(options.media_kind)};
  return line;
}
