// The LPRng tool's command line: its own rules, and the records it fills.
#include "driver_tree.h"
#include "lpr_tool.h"

namespace {

// -P up to 2048 bytes (kQueueName then caps it at 127), other values up to 99;
// -list takes any queue name, as a listing shows the model's formats anyway.
constexpr CommandRules kRules = {
    2048, kMaxValueBytes, ValueRule::kFileName, ValueRule::kAnyText, true, {}};

}  // namespace

LprCommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandOptions options;
  LprCommandLine line;
  line.kind = ReadCommandLine(args, kRules, &options);
  line.request.printer = options.queue;
  line.request.label_name = options.label_name;
  line.request.width_mm = options.width_mm;
  line.request.length_mm = options.length_mm;
  line.request.media_kind = static_cast<int32_t>(options.media_kind);
  line.geometry = options.geometry;
  // Margins, gap and marks reach the CUPS tool with two decimals; every file
  // takes them so, so that a sync rebuilds exactly what the addition wrote.
  for (double LabelGeometry::*value :
       {&LabelGeometry::gap, &LabelGeometry::top, &LabelGeometry::bottom, &LabelGeometry::left,
        &LabelGeometry::right, &LabelGeometry::mark, &LabelGeometry::mark_offset}) {
    line.geometry.*value = RoundedToTwoDecimals(line.geometry.*value);
  }
  return line;
}
