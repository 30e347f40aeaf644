// The LPRng tool's command line: its modes, its own options and the records it fills.
#include "lpr_tool.h"

namespace {

using enum ValueRule;
using O = CommandOptions;

constexpr size_t kMaxPrinterBytes = 2048;

// A listing shows the model's formats whatever the queue; a sync changes the
// queue, so it must be one CUPS can have.
constexpr ModeRow kModes[] = {
    {"-list", RunKind::kList, kAnyText, kMaxPrinterBytes},
    {"-sync", RunKind::kSync, kQueueName, kMaxPrinterBytes},
};

// Tried before the number options.  Options are told apart by their first
// two characters alone.
constexpr OptionRow kOptions[] = {
    {"-P", kQueueName, kMaxPrinterBytes, {.text = &O::queue, .given = &O::printer_given}},
    {"-n", kFileName, kMaxValueBytes, {.text = &O::label_name, .given = &O::add_given}},
    {"-d", kAnyText, kMaxValueBytes, {.text = &O::label_name, .given = &O::remove_given}},
};

constexpr CommandTable kTable = {kModes, kOptions, kMaxValueBytes, true};

}  // namespace

LprCommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandOptions options;
  LprCommandLine line;
  line.kind = ReadCommandLine(args, kTable, &options);
  line.request.printer = options.queue;
  line.request.label_name = options.label_name;
  line.request.width_mm = options.width_mm;
  line.request.length_mm = options.length_mm;
  line.request.media_kind = static_cast<int32_t>(options.media_kind);
  line.geometry = options.geometry;
  return line;
}
