// Reading the command lines of both paper-size tools by their option tables.
#include "command_options.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "label_id.h"

namespace {

using enum ValueRule;
using O = CommandOptions;
using G = LabelGeometry;

constexpr OptionRow kNumberOptions[] = {
    {"-w", kLabelWidth, 0, {nullptr, &O::width_mm, &G::width, &O::width_given}},
    {"-h", kLabelLength, 0, {nullptr, &O::length_mm, &G::length, &O::length_given}},
    {"-g", kNonNegative, 0, {.fraction = &G::gap}},
    {"-t", kPositive, 0, {.fraction = &G::top}},
    {"-b", kPositive, 0, {.fraction = &G::bottom}},
    {"-l", kPositive, 0, {.fraction = &G::left}},
    {"-r", kPositive, 0, {.fraction = &G::right}},
    {"-S", kCount, 0, {.whole = &O::media_kind}},
    {"-m", kNonNegative, 0, {.fraction = &G::mark, .given = &O::mark_given}},
    {"-o", kNonNegative, 0, {.fraction = &G::mark_offset, .given = &O::mark_offset_given}},
};

constexpr size_t kMaxQueueName = 127;  // CUPS refuses longer queue names
constexpr int64_t kMaxWidthMm = 255;   // the identifier's width field has two hex digits

// Whether `value` has no control byte, no blank when `blank`, and none of `forbidden`.
bool HasNone(std::string_view value, bool blank, std::string_view forbidden) {
  return std::none_of(value.begin(), value.end(), [&](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 32 || byte == 127 || (blank && c == ' ') ||
           forbidden.find(c) != std::string_view::npos;
  });
}

bool Accepts(ValueRule rule, std::string_view value, int64_t whole, double fraction) {
  switch (rule) {
    case kAnyText:
      return true;
    case kQueueName:
      return value.size() <= kMaxQueueName && HasNone(value, true, "/\\?'\"#");
    // A name that holds an identifier would make its lines look like another
    // format's, and the other format's removal would take them too.
    case kPpdLabelName:
      return HasNone(value, false, ":\"") && !HoldsLabelId(value);
    case kFileName:
      return HasNone(value, false, "/") && !HoldsLabelId(value);
    case kPpdKeyword:
      return HasNone(value, true, ":\"/");
    // Width and length are read both ways; a value whose two readings part
    // ("2e2", "0x1E") would give the PPD one size and the files another.
    case kLabelWidth:
      return whole >= 1 && whole <= kMaxWidthMm &&
             std::trunc(fraction) == static_cast<double>(whole);
    case kLabelLength:
      return whole >= 1 && std::trunc(fraction) == static_cast<double>(whole);
    case kPositive:
      return std::isfinite(fraction) && fraction > 0;
    case kNonNegative:
      return std::isfinite(fraction) && fraction >= 0;
    case kCount:
      return whole >= 0;
  }
  return false;
}

// The first row whose name begins `option`, or nothing.
std::optional<OptionRow> FindRow(std::string_view option, const CommandRules& rules) {
  const OptionRow names[] = {
      {"-P", kQueueName, rules.queue_length, {.text = &O::queue, .given = &O::printer_given}},
      {"-n", rules.name_rule, 0, {.text = &O::label_name, .given = &O::add_given}},
      {"-d", kAnyText, 0, {.text = &O::label_name, .given = &O::remove_given}},
  };
  auto names_it = [option](const OptionRow& row) { return option.starts_with(row.name); };
  for (std::span<const OptionRow> rows : {std::span<const OptionRow>(names), rules.extra_options,
                                          std::span<const OptionRow>(kNumberOptions)}) {
    const auto row = std::ranges::find_if(rows, names_it);
    if (row != rows.end()) return *row;
  }
  return std::nullopt;
}

// Checks one pair and stores it; false when the pair is refused.
bool ReadPair(std::string_view option, const std::string& value, const CommandRules& rules,
              CommandOptions* options) {
  const std::optional<OptionRow> row = FindRow(option, rules);
  if (!row) return false;
  const size_t max_length = row->max_length != 0 ? row->max_length : rules.value_length;
  if (value.empty() || value.size() > max_length) return false;
  const int64_t whole = std::strtol(value.c_str(), nullptr, 10);
  const double fraction = std::strtod(value.c_str(), nullptr);
  if (!Accepts(row->rule, value, whole, fraction)) return false;
  const OptionTarget& target = row->target;
  if (target.text != nullptr) options->*target.text = value;
  if (target.whole != nullptr) options->*target.whole = whole;
  if (target.fraction != nullptr) options->geometry.*target.fraction = fraction;
  if (target.given != nullptr) options->*target.given = true;
  return true;
}

// The mode of a "-list" or "-sync" line (kUsage for a refused queue); nothing otherwise.
std::optional<RunKind> ReadMode(const std::vector<std::string>& args, const CommandRules& rules,
                                CommandOptions* options) {
  const bool list = args.size() == 2 && args[0] == "-list";
  if (!list && !(args.size() == 2 && args[0] == "-sync")) return std::nullopt;
  const std::string& queue = args[1];
  if (queue.empty() || queue.size() > rules.queue_length ||
      !Accepts(list ? rules.listed_queue : kQueueName, queue, 0, 0)) {
    return RunKind::kUsage;
  }
  options->queue = queue;
  return list ? RunKind::kList : RunKind::kSync;
}

}  // namespace

RunKind ReadCommandLine(const std::vector<std::string>& args, const CommandRules& rules,
                        CommandOptions* options) {
  if (const std::optional<RunKind> mode = ReadMode(args, rules, options)) return *mode;
  if (args.size() < 2 || args.size() % 2 != 0) return RunKind::kUsage;
  for (size_t i = 0; i < args.size(); i += 2) {
    if (!ReadPair(args[i], args[i + 1], rules, options)) return RunKind::kUsage;
  }
  const CommandOptions& o = *options;
  if (!o.printer_given || o.add_given == o.remove_given ||
      (o.add_given && !(o.width_given && o.length_given))) {
    return RunKind::kUsage;
  }
  // Media with marks needs both mark values, for a removal as well.
  const auto media_kind = static_cast<int32_t>(o.media_kind);  // as the records keep it
  if (rules.marks_for_marked_media && media_kind == kMarkedMedia &&
      !(o.mark_given && o.mark_offset_given)) {
    return RunKind::kUsage;
  }
  return o.add_given ? RunKind::kAdd : RunKind::kRemove;
}

bool IsPpdLabelName(std::string_view name) {
  return name.size() <= kMaxPpdLabelName && Accepts(kPpdLabelName, name, 0, 0);
}
