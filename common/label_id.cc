// Making label identifiers, taking label lines apart and finding them by name.
#include "label_id.h"

#include <sys/time.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "line_stream.h"

std::string FormatLabelId(size_t name_length, uint32_t width_mm, int64_t length_mm, long seconds,
                          long microseconds) {
  char id[100];
  std::snprintf(id, sizeof id, "%s%02X%02X%03X%01X%04X", kLabelIdPrefix,
                static_cast<unsigned>(name_length), static_cast<unsigned>(width_mm),
                static_cast<unsigned>(length_mm & 0xFFF), static_cast<unsigned>(seconds & 0xF),
                static_cast<unsigned>(microseconds & 0xFFFF));
  return id;
}

std::string MakeLabelId(size_t name_length, uint32_t width_mm, int64_t length_mm) {
  timeval now{};
  gettimeofday(&now, nullptr);
  return FormatLabelId(name_length, width_mm, length_mm, now.tv_sec, now.tv_usec);
}

namespace {

// The longest name that can be read back from a label line.
constexpr size_t kMaxReadableName = 99;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Reads a field as "%X" would: leading hexadecimal digits, 0 when there are none.
unsigned HexField(std::string_view field) {
  unsigned value = 0;
  for (char c : field) {
    const int digit = HexDigit(c);
    if (digit < 0) break;
    value = value * 16 + static_cast<unsigned>(digit);
  }
  return value;
}

// The offset of the first "CvL" and 12 hex digits at or after `from`, or npos.
size_t FindLabelId(std::string_view text, size_t from) {
  constexpr size_t kDigits = kLabelIdLength - 3;
  for (size_t at = text.find(kLabelIdPrefix, from); at != std::string_view::npos;
       at = text.find(kLabelIdPrefix, at + 1)) {
    const std::string_view digits = text.substr(at + 3, kDigits);
    if (digits.size() == kDigits &&
        std::ranges::all_of(digits, [](char c) { return HexDigit(c) >= 0; })) {
      return at;
    }
  }
  return std::string_view::npos;
}

}  // namespace

unsigned LabelIdWidth(std::string_view id) { return HexField(id.substr(5, 2)); }

unsigned LabelIdLength(std::string_view id) { return HexField(id.substr(7, 3)); }

bool HoldsLabelId(std::string_view text) { return FindLabelId(text, 0) != std::string_view::npos; }

bool CollectLabelIds(const std::string& path, std::set<std::string, std::less<>>* ids) {
  return ForEachLine(path, [ids](std::string_view line) {
    for (size_t at = FindLabelId(line, 0); at != std::string_view::npos;
         at = FindLabelId(line, at + kLabelIdLength)) {
      ids->emplace(line.substr(at, kLabelIdLength));
    }
    return true;
  });
}

bool ParseLabelLine(std::string_view line, LabelLine* out) {
  const size_t pos = line.find(kLabelIdPrefix);
  if (pos == std::string_view::npos) return false;
  const std::string_view id = line.substr(pos);
  if (id.size() < 5) return false;
  const int high = HexDigit(id[3]);
  const int low = HexDigit(id[4]);
  if (high < 0 || low < 0) return false;
  const size_t name_length = static_cast<size_t>(high) * 16 + static_cast<size_t>(low);
  constexpr size_t kNameOffset = kLabelIdLength + 1;  // behind the identifier and its "/"
  if (name_length > kMaxReadableName || id.size() < kNameOffset + name_length) return false;
  // The identifier is later searched for as a text; a zero byte inside it
  // would shorten that pattern and match lines of other formats.
  if (id.substr(0, kLabelIdLength).find('\0') != std::string_view::npos) return false;
  out->id_pos = pos;
  out->name = id.substr(kNameOffset, name_length);
  out->width_mm = LabelIdWidth(id);
  out->length_mm = LabelIdLength(id);
  return true;
}

bool ForEachLabelLine(const std::string& path, std::string_view prefix,
                      const std::function<void(const LabelLine&, std::string_view id)>& each) {
  return ForEachLine(path, [&](std::string_view line) {
    LabelLine label;
    if (line.starts_with(prefix) && ParseLabelLine(line, &label))
      each(label, line.substr(label.id_pos, kLabelIdLength));
    return true;
  });
}

bool FindLabelIds(const std::string& path, std::string_view prefix, std::string_view name,
                  std::vector<std::string>* ids) {
  return ForEachLabelLine(path, prefix, [&](const LabelLine& label, std::string_view id) {
    if (label.name == name && std::ranges::find(*ids, id) == ids->end()) ids->emplace_back(id);
  });
}
