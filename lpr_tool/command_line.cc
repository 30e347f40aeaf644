// The LPRng tool's command line: its own rules, and the records it fills.
#include "lpr_tool.h"

namespace {

// A listing shows the model's formats whatever the queue is called; every
// value but that of -P (up to 2048 bytes, CUPS's rule then takes 127) of up
// to 99 bytes.
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
  return line;
}
