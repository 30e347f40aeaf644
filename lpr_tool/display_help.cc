// The usage text of the LPRng paper-size tool.
#include "lpr_tool.h"
#include "text_format.h"

void DisplayHelp() {
  TraceEnter(kTraceSource, "DisplayHelp");
  // Long lines are split into adjacent literals, which is not a missing comma.
  // NOLINTBEGIN(bugprone-suspicious-missing-comma)
  const std::string lines[] = {
      "===========================",
      " LPRng Paper Size Tool (v 0.1)\tCorvane label printer driver",
      FormatText(" Usage: cvpapertoollpr_xxxx -P KM-xxxx Printer Name [-n add a Label Format Name "
                 "(<=%d bytes) -w Media Width(unit:mm) -h Media Height(unit:mm)]/[-d delete "
                 "Label Format Name]",
                 static_cast<int>(kMaxValueBytes)),
      " For example:",
      " 1. Add a new Label Format with \"New Label Format\" name and 30mm width and 30mm length "
      "and 3mm label gap:",
      "\t\"cvpapertoollpr_km3030 -P KM-3030 -n Papar_Name -w 30 -h 30 -g 3.0 -b 3 -t 3 -r 1.5 "
      "-l 1.5 -S [0/1/2] [-m 0.0 -o 0.0]\" [enter]",
      "\tCase of S=0,1 then program not need (-m 0.0  -o 0.0).",
      "\t-P Printer Name, eg. KM-3030",
      "\t-n New Label Name",
      "\t-w label width",
      "\t-h label length",
      "\t-g label spacing",
      "\t-b bottom margin",
      "\t-t top margin",
      "\t-r right margin",
      "\t-l left margin",
      "\t-S 0/1/2(0:Continuous Length Tape/1:Die-Cut Label/2:Media With Marks)",
      "\t-m mark",
      "\t-o mark offset",
      " 2. Remove the Label Format with \"New Label Format\" name:",
      "\t\"cvpapertoollpr_km3030 -P KM-3030 -d Papar_Name\" [enter]\n",
      "===========================",
  };
  // NOLINTEND(bugprone-suspicious-missing-comma)
  for (const std::string& line : lines) std::printf("%s\n", line.c_str());
}
