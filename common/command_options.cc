// Reading the command lines of both paper-size tools by their option tables.
#include "command_options.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

int64_t ReadInteger(const char* text) { return std::strtol(text, nullptr, 10); }

double ReadFraction(const char* text) { return std::strtod(text, nullptr); }

namespace {

using enum ValueRule;
using O = CommandOptions;
using G = LabelGeometry;

// The number options of both tools; a longest value of 0 stands for the
// tool's own length for numbers.
constexpr OptionRow kNumberOptions[] = {
    {"-w", kLabelWidth, 0, {nullptr, &O::width_mm, &G::width, &O::width}},
    {"-h", kLabelLength, 0, {nullptr, &O::length_mm, &G::length, &O::length}},
    {"-g", kNonNegative, 0, {.fraction = &G::gap}},
    {"-t", kPositive, 0, {.fraction = &G::top}},
    {"-b", kPositive, 0, {.fraction = &G::bottom}},
    {"-l", kPositive, 0, {.fraction = &G::left}},
    {"-r", kPositive, 0, {.fraction = &G::right}},
    {"-S", kCount, 0, {.whole = &O::media_kind}},
    {"-m", kNonNegative, 0, {.fraction = &G::mark, .mark = &O::mark}},
    {"-o", kNonNegative, 0, {.fraction = &G::mark_offset, .mark = &O::mark_offset}},
};

constexpr size_t kMaxQueueName = 127;  // CUPS refuses longer queue names
constexpr int64_t kMaxWidthMm = 255;   // the identifier's width field has two hex digits

// Whether `value` holds no control byte (nor a blank, when `blank`) and none
// of `forbidden`.
bool HasNone(std::string_view value, bool blank, std::string_view forbidden) {
  return std::none_of(value.begin(), value.end(), [&](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 32 || byte == 127 || (blank && c == ' ') ||
           forbidden.find(c) != std::string_view::npos;
  });
}

bool Accepts(ValueRule rule, const std::string& value, int64_t whole, double fraction) {
  switch (rule) {
    case kAnyText:
    case kAnyWhole:
      return true;
    case kQueueName:
      return value.size() <= kMaxQueueName && HasNone(value, true, "/\\?'\"#");
    case kPpdLabelName:
      return HasNone(value, false, ":\"");
    case kFileName:
      return HasNone(value, false, "/");
    case kPpdKeyword:
      return HasNone(value, true, ":\"/");
    case kLabelWidth:
      return whole >= 1 && whole <= kMaxWidthMm && std::isfinite(fraction);
    case kLabelLength:
      return whole >= 1 && std::isfinite(fraction);
    case kPositive:
      return std::isfinite(fraction) && fraction > 0;
    case kNonNegative:
      return std::isfinite(fraction) && fraction >= 0;
    case kCount:
      return whole >= 0;
  }
  return false;
}

// The row that `option` names, the tool's own first, then the number
// options; nullptr when none does.
const OptionRow* FindRow(std::string_view option, std::span<const OptionRow> table) {
  auto names = [option](const OptionRow& row) {
    return row.exact ? option == row.name : option.starts_with(row.name);
  };
  const auto own = std::find_if(table.begin(), table.end(), names);
  if (own != table.end()) return &*own;
  const auto number = std::find_if(std::begin(kNumberOptions), std::end(kNumberOptions), names);
  return number != std::end(kNumberOptions) ? number : nullptr;
}

// Checks one pair and stores it; false when the pair is refused.
bool ReadPair(std::string_view option, const std::string& value, std::span<const OptionRow> table,
              size_t number_length, CommandOptions* options) {
  const OptionRow* row = FindRow(option, table);
  if (row == nullptr) return false;
  const size_t max_length = row->max_length != 0 ? row->max_length : number_length;
  if (value.empty() || value.size() > max_length) return false;
  const int64_t whole = ReadInteger(value.c_str());
  const double fraction = ReadFraction(value.c_str());
  if (!Accepts(row->rule, value, whole, fraction)) return false;
  const OptionTarget& target = row->target;
  if (target.text != nullptr) options->*target.text = value;
  if (target.whole != nullptr) options->*target.whole = whole;
  if (target.fraction != nullptr) options->geometry.*target.fraction = fraction;
  if (target.mark != nullptr) options->*target.mark = true;
  return true;
}

}  // namespace

RunKind ReadCommandLine(const std::vector<std::string>& args, std::span<const OptionRow> table,
                        size_t number_length, bool marks_for_marked_media,
                        CommandOptions* options) {
  if (args.size() < 2 || args.size() % 2 != 0) return RunKind::kUsage;
  for (size_t i = 0; i < args.size(); i += 2) {
    if (!ReadPair(args[i], args[i + 1], table, number_length, options)) return RunKind::kUsage;
  }
  const CommandOptions& o = *options;
  if (o.list) return o.printer || o.add || o.remove ? RunKind::kUsage : RunKind::kList;
  if (!o.printer || o.add == o.remove || (o.add && !(o.width && o.length))) return RunKind::kUsage;
  // Media with marks needs both mark values, for a removal as well.
  const auto media_kind = static_cast<int32_t>(o.media_kind);  // as the records keep it
  if (marks_for_marked_media && media_kind == kMarkedMedia && !(o.mark && o.mark_offset)) {
    return RunKind::kUsage;
  }
  return o.add ? RunKind::kAdd : RunKind::kRemove;
}
