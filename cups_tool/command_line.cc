// The CUPS tool's command line: its own options and the records it fills.
#include "command_options.h"
#include "cups_tool.h"
#include "fixed_paths.h"

std::string printer_name;
int show_output = 1;

namespace {

using enum ValueRule;
using O = CommandOptions;

constexpr size_t kMaxQueueValue = 1024;
constexpr size_t kMaxValue = 32;  // every other value, numbers included

// Tried before the number options, in this order; the first row whose name
// begins the argument wins, so "-Pxyz" counts as "-P".  Only the exact
// argument "-list" lists: every argument that named the left margin still does.
constexpr OptionRow kOptions[] = {
    {"-list", kQueueName, kMaxQueueValue, {.text = &O::queue, .mark = &O::list}, true},
    {"-P", kQueueName, kMaxQueueValue, {.text = &O::queue, .mark = &O::printer}},
    {"-n", kPpdLabelName, kMaxValue, {.text = &O::label_name, .mark = &O::add}},
    {"-d", kAnyText, kMaxValue, {.text = &O::label_name, .mark = &O::remove}},
    {"-specid", kPpdKeyword, kMaxValue, {.text = &O::label_id}},
    {"-show", kAnyWhole, kMaxValue, {.whole = &O::show_output}},
};

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandOptions options;
  CommandLine line;
  line.kind = ReadCommandLine(args, kOptions, kMaxValue, false, &options);
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
