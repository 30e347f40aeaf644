// The LPRng tool's command line: its own options and the records it fills.
#include "command_options.h"
#include "lpr_tool.h"

namespace {

using enum ValueRule;
using O = CommandOptions;

// Tried before the number options.  Options are told apart by their first
// two characters alone; only the exact argument "-list" lists.
constexpr OptionRow kOptions[] = {
    {"-list", kAnyText, kMaxPrinterBytes, {.text = &O::queue, .mark = &O::list}, true},
    {"-P", kAnyText, kMaxPrinterBytes, {.text = &O::queue, .mark = &O::printer}},
    {"-n", kFileName, kMaxValueBytes, {.text = &O::label_name, .mark = &O::add}},
    {"-d", kAnyText, kMaxValueBytes, {.text = &O::label_name, .mark = &O::remove}},
};

}  // namespace

RunKind ParseCommandLine(const std::vector<std::string>& args, LprRequest* request,
                         LabelGeometry* geometry) {
  CommandOptions options;
  const RunKind kind = ReadCommandLine(args, kOptions, kMaxValueBytes, true, &options);
  request->printer = options.queue;
  request->label_name = options.label_name;
  request->width_mm = options.width_mm;
  request->length_mm = options.length_mm;
  request->media_kind = static_cast<int32_t>(options.media_kind);
  *geometry = options.geometry;
  return kind;
}
