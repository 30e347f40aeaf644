// Listing the label formats of a file: the summary list file of a PPD, and
// the entries and sizes that a listing shows.
#include <cstdlib>

#include "file_rewrite.h"
#include "paper_size_tool.h"
#include "text_format.h"

int List_Label(const std::string& path) {
  TraceEnter(kTraceSource, "List_Label");
  LineReader in;
  if (!OpenLineReader(path, &in)) return -1;
  std::string list;
  std::string_view line;
  int formats = 0;
  while (fread_line_string(line, in) > 0) {
    LabelLine label;
    if (!line.starts_with("*PageSize") || !ParseLabelLine(line, &label)) continue;
    list.append(label.name).append("\n");
    list += std::to_string(label.width_mm) + "\n" + std::to_string(label.length_mm) + "\n";
    ++formats;
  }
  if (in.error != 0 || ReplaceFile(path + ".list", 0644, list) != 0) return -1;
  return formats;
}

bool ReadLabelEntries(const std::string& path, std::string_view prefix,
                      std::vector<LabelEntry>* entries) {
  LineReader in;
  if (!OpenLineReader(path, &in)) return false;
  const std::vector<std::string_view> markers = {kLabelIdPrefix};
  std::string_view line;
  while (ReadMarkedLine(in, markers, line, [](std::string_view) {}) > 0) {
    LabelLine label;
    if (!line.starts_with(prefix) || !ParseLabelLine(line, &label)) continue;
    LabelEntry entry{std::string(line.substr(label.id_pos, kLabelIdLength)),
                     std::string(label.name)};
    bool listed = false;
    for (const LabelEntry& earlier : *entries) listed = listed || earlier.id == entry.id;
    if (!listed) entries->push_back(std::move(entry));
  }
  return in.error == 0;
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

bool ReadLabelSizes(const std::string& path, std::string_view prefix,
                    std::map<std::string, LabelSize>* sizes) {
  LineReader in;
  if (!OpenLineReader(path, &in)) return false;
  const std::vector<std::string_view> markers = {kLabelIdPrefix};
  std::string_view line;
  while (ReadMarkedLine(in, markers, line, [](std::string_view) {}) > 0) {
    const size_t at = line.find(kLabelIdPrefix);
    if (!line.starts_with(prefix) || at == std::string_view::npos ||
        line.size() - at < kLabelIdLength) {
      continue;
    }
    std::string_view rest = line.substr(at + kLabelIdLength);
    LabelSize size;
    if (!ReadNumber(TakeLastWord(rest), &size.length) ||
        !ReadNumber(TakeLastWord(rest), &size.width)) {
      continue;
    }
    sizes->emplace(std::string(line.substr(at, kLabelIdLength)), size);
  }
  return in.error == 0;
}

std::string ListingLine(const LabelEntry& entry, const std::map<std::string, LabelSize>& sizes) {
  const auto size = sizes.find(entry.id);
  if (size == sizes.end()) return entry.id + "\t-\t-\t" + entry.name;
  // Millimetres from points: the inverse of the conversion the files were written with.
  return FormatText("%s\t%.2f\t%.2f\t", entry.id.c_str(), size->second.width / 72 * 25.4,
                    size->second.length / 72 * 25.4) +
         entry.name;
}
