// The LPRng tool's command line: its option table and the records it fills.
#include "command_options.h"
#include "lpr_tool.h"

namespace {

using enum OptionField;
using enum ValueRule;

// Options are told apart by their first two characters alone; only the
// exact argument "-list" lists.
constexpr OptionRow kOptions[] = {
    {"-list", kList, kAnyText, kMaxPrinterBytes, true},
    {"-P", kQueue, kAnyText, kMaxPrinterBytes},
    {"-n", kAddName, kFileName, kMaxValueBytes},
    {"-d", kDeleteName, kAnyText, kMaxValueBytes},
    {"-w", kWidth, kLabelWidth, kMaxValueBytes},
    {"-h", kLength, kLabelLength, kMaxValueBytes},
    {"-g", kGap, kNonNegative, kMaxValueBytes},
    {"-t", kTop, kPositive, kMaxValueBytes},
    {"-b", kBottom, kPositive, kMaxValueBytes},
    {"-l", kLeft, kPositive, kMaxValueBytes},
    {"-r", kRight, kPositive, kMaxValueBytes},
    {"-S", kMediaKind, kCount, kMaxValueBytes},
    {"-m", kMark, kNonNegative, kMaxValueBytes},
    {"-o", kMarkOffset, kNonNegative, kMaxValueBytes},
};

}  // namespace

RunKind ParseCommandLine(const std::vector<std::string>& args, LprRequest* request,
                         LabelGeometry* geometry) {
  CommandOptions options;
  const RunKind kind = ReadCommandLine(args, kOptions, true, &options);
  request->printer = options.queue;
  request->label_name = options.label_name;
  request->width_mm = options.width_mm;
  request->length_mm = options.length_mm;
  request->media_kind = options.media_kind;
  *geometry = options.geometry;
  return kind;
}
