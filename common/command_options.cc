// Reading the command lines of both paper-size tools by their option tables.
#include "command_options.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

int64_t ReadInteger(const char* text) { return std::strtol(text, nullptr, 10); }

double ReadFraction(const char* text) { return std::strtod(text, nullptr); }

namespace {

constexpr size_t kMaxQueueName = 127;  // CUPS refuses longer queue names
constexpr int64_t kMaxWidthMm = 255;   // the identifier's width field has two hex digits

bool IsControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 32 || byte == 127;
}

// Whether `value` holds none of the control bytes (with the blank when
// `blank` is set) and none of `forbidden`.
bool HasNone(std::string_view value, bool blank, std::string_view forbidden) {
  return std::none_of(value.begin(), value.end(), [&](char c) {
    return IsControl(c) || (blank && c == ' ') || forbidden.find(c) != std::string_view::npos;
  });
}

bool Accepts(ValueRule rule, const std::string& value, int64_t whole, double fraction) {
  switch (rule) {
    case ValueRule::kAnyText:
    case ValueRule::kAnyWhole:
      return true;
    case ValueRule::kQueueName:
      return value.size() <= kMaxQueueName && HasNone(value, true, "/\\?'\"#");
    case ValueRule::kPpdLabelName:
      return HasNone(value, false, ":\"");
    case ValueRule::kFileName:
      return HasNone(value, false, "/");
    case ValueRule::kPpdKeyword:
      return HasNone(value, true, ":\"/");
    case ValueRule::kLabelWidth:
      return whole >= 1 && whole <= kMaxWidthMm && std::isfinite(fraction);
    case ValueRule::kLabelLength:
      return whole >= 1 && std::isfinite(fraction);
    case ValueRule::kPositive:
      return std::isfinite(fraction) && fraction > 0;
    case ValueRule::kNonNegative:
      return std::isfinite(fraction) && fraction >= 0;
    case ValueRule::kCount:
      return whole >= 0;
  }
  return false;
}

// Stores an accepted value where its field says.
void Store(OptionField field, const std::string& value, int64_t whole, double fraction,
           CommandOptions* options) {
  LabelGeometry& geometry = options->geometry;
  switch (field) {
    case OptionField::kQueue:
    case OptionField::kList:
      options->queue = value;
      (field == OptionField::kList ? options->list : options->printer) = true;
      return;
    case OptionField::kAddName:
    case OptionField::kDeleteName:
      options->label_name = value;
      (field == OptionField::kAddName ? options->add : options->remove) = true;
      return;
    case OptionField::kLabelId:
      options->label_id = value;
      return;
    case OptionField::kWidth:
      options->width_mm = whole;
      geometry.width = fraction;
      options->width = true;
      return;
    case OptionField::kLength:
      options->length_mm = whole;
      geometry.length = fraction;
      options->length = true;
      return;
    case OptionField::kGap:
      geometry.gap = fraction;
      return;
    case OptionField::kTop:
      geometry.top = fraction;
      return;
    case OptionField::kBottom:
      geometry.bottom = fraction;
      return;
    case OptionField::kLeft:
      geometry.left = fraction;
      return;
    case OptionField::kRight:
      geometry.right = fraction;
      return;
    case OptionField::kMediaKind:
      options->media_kind = static_cast<int32_t>(whole);
      return;
    case OptionField::kMark:
      geometry.mark = fraction;
      options->mark = true;
      return;
    case OptionField::kMarkOffset:
      geometry.mark_offset = fraction;
      options->mark_offset = true;
      return;
    case OptionField::kShow:
      options->show_output = static_cast<int32_t>(whole);
      return;
  }
}

// Checks one pair and stores it; false when the pair is refused.
bool ReadPair(std::string_view option, const std::string& value,
              std::span<const OptionRow> table, CommandOptions* options) {
  const auto row = std::find_if(table.begin(), table.end(), [option](const OptionRow& r) {
    return r.exact ? option == r.name : option.starts_with(r.name);
  });
  if (row == table.end() || value.empty() || value.size() > row->max_length) return false;
  const int64_t whole = ReadInteger(value.c_str());
  const double fraction = ReadFraction(value.c_str());
  if (!Accepts(row->rule, value, whole, fraction)) return false;
  Store(row->field, value, whole, fraction, options);
  return true;
}

}  // namespace

RunKind ReadCommandLine(const std::vector<std::string>& args, std::span<const OptionRow> table,
                        bool marks_for_marked_media, CommandOptions* options) {
  if (args.size() < 2 || args.size() % 2 != 0) return RunKind::kUsage;
  for (size_t i = 0; i < args.size(); i += 2) {
    if (!ReadPair(args[i], args[i + 1], table, options)) return RunKind::kUsage;
  }
  const CommandOptions& o = *options;
  if (o.list) return o.printer || o.add || o.remove ? RunKind::kUsage : RunKind::kList;
  if (!o.printer || o.add == o.remove || (o.add && !(o.width && o.length))) return RunKind::kUsage;
  // Media with marks needs both mark values, for a removal as well.
  if (marks_for_marked_media && o.media_kind == kMarkedMedia && !(o.mark && o.mark_offset)) {
    return RunKind::kUsage;
  }
  return o.add ? RunKind::kAdd : RunKind::kRemove;
}
