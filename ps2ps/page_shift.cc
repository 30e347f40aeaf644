// Page-size scanning and the answer text of cvps2ps.
#include "page_shift.h"

#include <cstdio>
#include <string>
#include <string_view>

#include "text_format.h"
#include "units.h"

namespace {

// Every page is moved this far to the left, in inches.
constexpr double kHorizontalOffsetInches = -0.06;
// The top margin the printer keeps: 3 mm, in inches.
constexpr double kTopMarginInches = 3 / kMmPerInch;

double VerticalOffsetInches(double shift_dots, float height) {
  // In this order, in double precision: the printed offsets depend on it.
  return (shift_dots / kDotsPerInch - static_cast<double>(height) / kPointsPerInch) +
         kTopMarginInches;
}

}  // namespace

std::string ReadLeadingPageSizeLine(LineReader& in) {
  std::string saved;
  std::string_view line;
  while (ReadLineStart(line, in)) {
    line = line.substr(0, line.find('\0'));  // text ends at a zero byte
    if (line.find("PageSize") == std::string_view::npos) break;
    saved.assign(line);
  }
  return saved;
}

PageSize ScanPageSize(std::string_view line) {
  PageSize size;
  size_t open = line.find('[');
  if (open == std::string_view::npos) return size;
  size_t close = line.find(']', open + 1);
  if (close == std::string_view::npos) return size;
  // sscanf stops at a zero byte as a scan of the whole text would: a zero byte
  // is neither white space nor part of a number.
  std::string numbers(line.substr(open + 1, close - open - 1));
  // sscanf's reading of "%f %f", failures included, is the contract here.
  std::sscanf(numbers.c_str(), "%f %f", &size.width, &size.height);  // NOLINT(cert-err34-c)
  return size;
}

std::string FormatAnswer(double shift_dots, PageSize size, std::string_view command,
                         std::string_view first_file, std::string_view second_file) {
  // The arguments are copied as they stand: no "%" in them is a conversion.
  std::string text = "PSCOMMAND=cp\nCMDARGV=-f ";
  if (size.width != 0 || size.height != 0) {
    text = "PSCOMMAND=" + std::string(command) +
           FormatText("\nCMDARGV=-w%f -h%f 1:0@1.0(%fin,%fin) ", static_cast<double>(size.width),
                      static_cast<double>(size.height), kHorizontalOffsetInches,
                      VerticalOffsetInches(shift_dots, size.height));
  }
  return text + std::string(first_file) + " " + std::string(second_file);
}
