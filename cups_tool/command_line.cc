// Reading the tool's option pairs into a request, without acting on them.
#include <algorithm>
#include <array>
#include <cmath>

#include "cups_tool.h"
#include "fixed_paths.h"
#include "number_reading.h"

namespace {

enum class Option {
  kPrinter,
  kAddName,
  kDeleteName,
  kWidth,
  kLength,
  kGap,
  kTop,
  kBottom,
  kLeft,
  kRight,
  kMediaKind,
  kMark,
  kMarkOffset,
  kSpecId,
  kShow,
  kList,
};

struct OptionRow {
  std::string_view prefix;  // an argument beginning with it names the option
  Option option;
};

// Listing is asked for by exactly this argument, so that every argument that
// named the left margin before still does.
constexpr std::string_view kListOption = "-list";

// Matched in this order; the first row whose prefix begins the argument wins.
constexpr std::array<OptionRow, 15> kOptions = {{
    {"-P", Option::kPrinter},
    {"-n", Option::kAddName},
    {"-d", Option::kDeleteName},
    {"-w", Option::kWidth},
    {"-h", Option::kLength},
    {"-g", Option::kGap},
    {"-t", Option::kTop},
    {"-b", Option::kBottom},
    {"-l", Option::kLeft},
    {"-r", Option::kRight},
    {"-S", Option::kMediaKind},
    {"-m", Option::kMark},
    {"-o", Option::kMarkOffset},
    {"-specid", Option::kSpecId},
    {"-show", Option::kShow},
}};

constexpr size_t kMaxPrinterValue = 1024;
constexpr size_t kMaxValue = 32;
// CUPS refuses longer queue names.
constexpr size_t kMaxQueueName = 127;
// The identifier's width field has two hexadecimal digits.
constexpr int64_t kMaxWidth = 255;

bool IsControlOrDelete(unsigned char c) { return c < 32 || c == 127; }

// A name CUPS accepts for a queue; it also keeps the PPD path inside the PPD
// directory and makes a shell-safe word likely.
bool IsQueueName(std::string_view name) {
  if (name.empty() || name.size() > kMaxQueueName) return false;
  return std::none_of(name.begin(), name.end(), [](char c) {
    return IsControlOrDelete(static_cast<unsigned char>(c)) || c == ' ' ||
           std::string_view("/\\?'\"#").find(c) != std::string_view::npos;
  });
}

// A label name that cannot end or break the PPD option line it goes into.
bool IsPpdLabelName(std::string_view name) {
  return std::none_of(name.begin(), name.end(), [](char c) {
    return IsControlOrDelete(static_cast<unsigned char>(c)) || c == ':' || c == '"';
  });
}

// A label identifier usable as the option keyword of PPD lines.
bool IsPpdKeyword(std::string_view id) {
  return std::none_of(id.begin(), id.end(), [](char c) {
    return IsControlOrDelete(static_cast<unsigned char>(c)) || c == ' ' || c == ':' || c == '"' ||
           c == '/';
  });
}

// Which of the five presence marks that decide the run are set.
struct Marks {
  bool printer = false;
  bool add = false;
  bool remove = false;
  bool width = false;
  bool length = false;
  bool list = false;
};

// Checks one option and value pair and stores it.  Returns false for an
// unknown option or a value that is refused.
bool ReadPair(const std::string& option_text, const std::string& value, CommandLine* line,
              Marks* marks) {
  constexpr OptionRow kListRow = {kListOption, Option::kList};
  const OptionRow* row = option_text == kListOption
                             ? &kListRow
                             : std::find_if(kOptions.begin(), kOptions.end(), [&](const OptionRow& r) {
                                 return std::string_view(option_text).starts_with(r.prefix);
                               });
  if (row == kOptions.end()) return false;
  const bool names_queue = row->option == Option::kPrinter || row->option == Option::kList;
  size_t limit = names_queue ? kMaxPrinterValue : kMaxValue;
  if (value.empty() || value.size() > limit) return false;

  LabelRequest& request = line->request;
  LabelGeometry& geometry = line->geometry;
  const char* text = value.c_str();
  switch (row->option) {
    case Option::kPrinter:
    case Option::kList:
      if (!IsQueueName(value)) return false;
      line->printer = value;
      request.ppd_path = FixedPath(kPpdDir) + value + ".ppd";
      (row->option == Option::kList ? marks->list : marks->printer) = true;
      return true;
    case Option::kAddName:
      if (!IsPpdLabelName(value)) return false;
      request.label_name = value;
      marks->add = true;
      return true;
    case Option::kDeleteName:
      request.label_name = value;
      marks->remove = true;
      return true;
    case Option::kWidth:
    case Option::kLength: {
      int64_t whole = ReadInteger(text);
      double fraction = ReadFraction(text);
      bool width = row->option == Option::kWidth;
      if (whole < 1 || (width && whole > kMaxWidth) || !std::isfinite(fraction)) return false;
      (width ? request.width_mm : request.length_mm) = whole;
      (width ? geometry.width : geometry.length) = fraction;
      (width ? marks->width : marks->length) = true;
      return true;
    }
    case Option::kGap:
    case Option::kMark:
    case Option::kMarkOffset: {
      double number = ReadFraction(text);
      if (!std::isfinite(number) || number < 0) return false;
      double& field = row->option == Option::kGap    ? geometry.gap
                      : row->option == Option::kMark ? geometry.mark
                                                     : geometry.mark_offset;
      field = number;
      return true;
    }
    case Option::kTop:
    case Option::kBottom:
    case Option::kLeft:
    case Option::kRight: {
      double number = ReadFraction(text);
      if (!std::isfinite(number) || number <= 0) return false;
      double& field = row->option == Option::kTop      ? geometry.top
                      : row->option == Option::kBottom ? geometry.bottom
                      : row->option == Option::kLeft   ? geometry.left
                                                       : geometry.right;
      field = number;
      return true;
    }
    case Option::kMediaKind: {
      int64_t kind = ReadInteger(text);
      if (kind < 0) return false;
      request.media_kind = static_cast<int32_t>(kind);
      return true;
    }
    case Option::kSpecId:
      if (!IsPpdKeyword(value)) return false;
      request.label_id = value;
      return true;
    case Option::kShow:
      line->show_output = static_cast<int32_t>(ReadInteger(text));
      return true;
  }
  return false;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  if (args.size() < 2 || args.size() % 2 != 0) return line;
  Marks marks;
  for (size_t i = 0; i < args.size(); i += 2) {
    if (!ReadPair(args[i], args[i + 1], &line, &marks)) return line;
  }
  if (marks.list) {
    if (!marks.printer && !marks.add && !marks.remove) line.kind = RunKind::kList;
    return line;
  }
  if (!marks.printer) return line;
  if (marks.add) {
    if (!marks.remove && marks.width && marks.length) line.kind = RunKind::kAdd;
  } else if (marks.remove) {
    line.kind = RunKind::kRemove;
  }
  return line;
}
