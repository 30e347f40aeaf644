// What a listing of label formats shows.
#include "label_listing.h"

#include <cerrno>
#include <cstdlib>
#include <set>

#include "label_id.h"
#include "line_stream.h"
#include "text_format.h"
#include "units.h"

bool ReadLabelEntries(const std::string& path, std::string_view prefix,
                      std::vector<LabelEntry>* entries) {
  std::set<std::string, std::less<>> listed;
  return ForEachLabelLine(path, prefix, [&](const LabelLine& label, std::string_view id) {
    if (listed.emplace(id).second) entries->push_back({std::string(id), std::string(label.name)});
  });
}

namespace {

// The last whitespace-separated word of `text`, taken off it; quotes around
// the numbers of a PPD value count as white space.
std::string_view TakeLastWord(std::string_view& text) {
  constexpr std::string_view kSpace = " \t\r\n\"";
  const size_t end = text.find_last_not_of(kSpace);
  if (end == std::string_view::npos) return {};
  const size_t start = text.find_last_of(kSpace, end);
  const size_t begin = start == std::string_view::npos ? 0 : start + 1;
  const std::string_view word = text.substr(begin, end + 1 - begin);
  text = text.substr(0, begin);
  return word;
}

// Reads `word` as a whole decimal number.
bool ReadNumber(std::string_view word, double* value) {
  const std::string text(word);
  char* end = nullptr;
  *value = std::strtod(text.c_str(), &end);
  return !text.empty() && end == text.c_str() + text.size();
}

}  // namespace

bool ReadLabelValues(const std::string& path, std::string_view prefix, size_t count,
                     std::map<std::string, std::vector<double>>* values) {
  return ForEachLine(path, [&](std::string_view line) {
    const size_t at = line.find(kLabelIdPrefix);
    if (!line.starts_with(prefix) || at == std::string_view::npos ||
        line.size() - at < kLabelIdLength) {
      return true;
    }
    std::string_view rest = line.substr(at + kLabelIdLength);
    std::vector<double> numbers(count);
    bool whole = true;
    for (size_t i = count; i-- > 0 && whole;) whole = ReadNumber(TakeLastWord(rest), &numbers[i]);
    if (whole) values->emplace(std::string(line.substr(at, kLabelIdLength)), std::move(numbers));
    return true;
  });
}

std::string ListingLine(const LabelEntry& entry,
                        const std::map<std::string, std::vector<double>>& sizes) {
  const auto size = sizes.find(entry.id);
  if (size == sizes.end()) return entry.id + "\t-\t-\t" + entry.name;
  return FormatText("%s\t%.2f\t%.2f\t", entry.id.c_str(), MillimetresFromPoints(size->second[0]),
                    MillimetresFromPoints(size->second[1])) +
         entry.name;
}
