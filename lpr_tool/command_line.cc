// Reading the option pairs into the request and geometry records, and validating them.
#include <cmath>

#include "lpr_tool.h"
#include "number_reading.h"

namespace {

// What the options seen so far asked for.
struct Marks {
  bool printer = false;
  bool add = false;
  bool remove = false;
  bool width = false;
  bool length = false;
  bool mark = false;
  bool mark_offset = false;
  bool list = false;
};

// The name becomes the file name customtape/<name>.bin and a part of one
// information-file line: a "/" could lead outside the driver's tree and a
// control byte such as a line feed would split the line.
bool IsStorableName(const std::string& name) {
  for (char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '/' || byte < 32 || byte == 127) return false;
  }
  return true;
}

bool ReadNonNegative(const std::string& value, double* field) {
  const double number = ReadFraction(value.c_str());
  if (!std::isfinite(number) || number < 0) return false;
  *field = number;
  return true;
}

bool ReadPositive(const std::string& value, double* field) {
  const double number = ReadFraction(value.c_str());
  if (!std::isfinite(number) || number <= 0) return false;
  *field = number;
  return true;
}

// Reads one pair.  Options are told apart by their first two characters alone.
bool ReadPair(const std::string& option, const std::string& value, LprRequest* request,
              LabelGeometry* geometry, Marks* marks) {
  if (option.size() < 2 || option[0] != '-') return false;
  const char key = option[1];
  // Listing is asked for by exactly "-list"; anything else beginning with
  // "-l" is still the left margin.
  const bool list = option == kListOption;
  const size_t limit = key == 'P' || list ? kMaxPrinterBytes : kMaxValueBytes;
  if (value.empty() || value.size() > limit) return false;
  if (list) {
    request->printer = value;
    marks->list = true;
    return true;
  }
  switch (key) {
    case 'P':
      request->printer = value;
      marks->printer = true;
      return true;
    case 'n':
      if (!IsStorableName(value)) return false;
      request->label_name = value;
      marks->add = true;
      return true;
    case 'd':
      request->label_name = value;
      marks->remove = true;
      return true;
    case 'w': {
      const int64_t mm = ReadInteger(value.c_str());
      const double fraction = ReadFraction(value.c_str());
      if (mm < 1 || mm > kMaxWidthMm || !std::isfinite(fraction)) return false;
      request->width_mm = mm;
      geometry->width = fraction;
      marks->width = true;
      return true;
    }
    case 'h': {
      const int64_t mm = ReadInteger(value.c_str());
      const double fraction = ReadFraction(value.c_str());
      if (mm < 1 || !std::isfinite(fraction)) return false;
      request->length_mm = mm;
      geometry->length = fraction;
      marks->length = true;
      return true;
    }
    case 'g':
      return ReadNonNegative(value, &geometry->gap);
    case 't':
      return ReadPositive(value, &geometry->top);
    case 'b':
      return ReadPositive(value, &geometry->bottom);
    case 'l':
      return ReadPositive(value, &geometry->left);
    case 'r':
      return ReadPositive(value, &geometry->right);
    case 'S': {
      const int64_t kind = ReadInteger(value.c_str());
      if (kind < 0) return false;
      request->media_kind = static_cast<int32_t>(kind);
      return true;
    }
    case 'm':
      marks->mark = true;
      return ReadNonNegative(value, &geometry->mark);
    case 'o':
      marks->mark_offset = true;
      return ReadNonNegative(value, &geometry->mark_offset);
    default:
      return false;
  }
}

}  // namespace

LprAction ParseCommandLine(const std::vector<std::string>& args, LprRequest* request,
                           LabelGeometry* geometry) {
  if (args.size() < 2 || args.size() % 2 != 0) return LprAction::kUsage;
  Marks marks;
  for (size_t i = 0; i < args.size(); i += 2) {
    if (!ReadPair(args[i], args[i + 1], request, geometry, &marks)) return LprAction::kUsage;
  }
  if (marks.list) {
    return marks.printer || marks.add || marks.remove ? LprAction::kUsage : LprAction::kList;
  }
  if (!marks.printer) return LprAction::kUsage;
  if (marks.add) {
    if (!marks.width || !marks.length || marks.remove) return LprAction::kUsage;
  } else if (!marks.remove) {
    return LprAction::kUsage;
  }
  // Media with marks needs both mark values, for a removal as well.
  if (request->media_kind == kMarkedMedia && (!marks.mark || !marks.mark_offset)) {
    return LprAction::kUsage;
  }
  return marks.add ? LprAction::kAdd : LprAction::kRemove;
}
