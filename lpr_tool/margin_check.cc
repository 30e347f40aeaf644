// The margin check for labels wider than the printable width.
#include "lpr_tool.h"
#include "text_format.h"
#include "units.h"

namespace {

// 448 dots and 224 dots at 203 dots per inch, in millimetres, as the
// single-precision values the printer's limits were always checked with.
constexpr float kPrintableWidthMm =
    static_cast<float>(kMaxPrintWidthDots * kMmPerInch / kDotsPerInch);
constexpr float kHalfPrintableWidthMm =
    static_cast<float>(kMaxPrintWidthDots / 2 * kMmPerInch / kDotsPerInch);

}  // namespace

bool CheckWideMediaMargins(const LabelGeometry& geometry, MarginRange* range) {
  if (!(geometry.width > static_cast<double>(kPrintableWidthMm))) return true;
  // The overhang is halved in double precision and kept in single precision;
  // the upper bound is a single-precision sum.
  range->lower = static_cast<float>((geometry.width - kPrintableWidthMm) * 0.5);
  range->upper = kHalfPrintableWidthMm + range->lower;
  auto outside = [range](double margin) { return margin < range->lower || margin > range->upper; };
  return !outside(geometry.left) && !outside(geometry.right);
}

std::string MarginErrorText(const MarginRange& range) {
  return FormatText(
      "  Error: New custom paper failed.\n\n"
      "  Margin value error:\n"
      "    The Left Margin [-l] / Right Margin [-r] 's range is %.1fmm-%.1fmm\n",
      static_cast<double>(range.lower), static_cast<double>(range.upper));
}
