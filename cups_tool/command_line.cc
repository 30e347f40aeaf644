// The CUPS tool's command line: its own rules and options, and the records it fills.
#include "cups_tool.h"
#include "fixed_paths.h"

std::string printer_name;
int show_output = 1;

namespace {

using enum ValueRule;
using O = CommandOptions;

constexpr OptionRow kOwnOptions[] = {
    {"-specid", kPpdKeyword, 0, {.text = &O::label_id}},
    {"-show", kAnyText, 0, {.whole = &O::show_output}},
};

// -P up to 1024 bytes (kQueueName then caps it at 127), every other value up to 32.
constexpr CommandRules kRules = {1024,  kMaxPpdLabelName, kPpdLabelName, kQueueName,
                                 false, kOwnOptions};

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandOptions options;
  CommandLine line;
  line.kind = ReadCommandLine(args, kRules, &options);
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
