// The usage text of the CUPS paper-size tool.
#include <cstdio>

#include "cups_tool.h"

namespace {

constexpr char kVersion[] = "v 0.1";

}  // namespace

void DisplayHelp() {
  TraceEnter(kTraceSource, "DisplayHelp");
  if (show_output == 0) return;
  std::printf("===========================\n");
  std::printf(" CUPS Paper Size Tool (%s)\tCorvane label printer driver\n", kVersion);
  std::printf(
      " Usage: cvpapertoolcups -P Printer Name [-n add a Label Format Name (<=%d bytes) -w Media "
      "Width(unit:mm) -h Media Height(unit:mm)]/[-d delete Label Format Name]\n",
      static_cast<int>(kMaxPpdLabelName));
  std::printf(" For example:\n");
  std::printf(
      " 1. Add a new Label Format with \"New Label Format\" name and 29mm width and 70mm "
      "length:\n");
  std::printf("\t\"cvpapertoolcups -P zr460 -n New\\ Label\\ Format -w 29 -h 70\" [enter]\n\n");
  std::printf(" 2. Remove the Label Format with \"New Label Format\" name:\n");
  std::printf("\t\"cvpapertoolcups -P zr460 -d New\\ Label\\ Format\" [enter]\n\n");
  std::printf("===========================\n");
}
