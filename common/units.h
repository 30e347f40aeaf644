// Units: millimetres on the command line, PostScript points in the PPD and two
// information files, printer dots in the others and in the media record.
#pragma once

#include "paper_size_tool.h"

inline constexpr double kMmPerInch = 25.4;
inline constexpr double kPointsPerInch = 72.0;
// The printers print 203 dots per inch, at most 448 dots wide.
inline constexpr double kDotsPerInch = 203.0;
inline constexpr double kMaxPrintWidthDots = 448.0;

// Points from millimetres: divided first, then multiplied, in double
// precision, as every value in the files was written.
inline double Points(double mm) { return mm / kMmPerInch * kPointsPerInch; }

inline double MillimetresFromPoints(double points) { return points / kPointsPerInch * kMmPerInch; }

// A label's imageable area in points, in the files' order.  The second value
// is the top margin and the fourth the length less the bottom margin, as the
// driver's filters have always read them.
struct ImageableArea {
  double left = 0;
  double top = 0;
  double width_less_right = 0;
  double length_less_bottom = 0;
};

inline ImageableArea ImageableAreaOf(const LabelGeometry& g) {
  return {Points(g.left), Points(g.top), Points(g.width - g.right), Points(g.length - g.bottom)};
}
