// The CUPS paper-size tool: its request record, process-wide values and operations.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "command_options.h"
#include "line_stream.h"
#include "paper_size_tool.h"

// One request of the tool, filled by the command line and then only read.
struct LabelRequest {
  std::string ppd_path;    // "<PPD directory><printer>.ppd"
  std::string label_name;  // from "-n" or "-d"
  std::string label_id;    // from "-specid"; empty: AddLabel makes one
  int64_t width_mm = 0;    // whole millimetres ("-w")
  int64_t length_mm = 0;   // whole millimetres ("-h")
  int32_t media_kind = 0;  // "-S"
};

// The queue named by "-P"; the re-registration's commands name it.
extern std::string printer_name;
// Set by "-show"; while 0 the tool itself prints nothing.
extern int show_output;

// ---- Command line ----------------------------------------------------------

// What the command line asks for.  `show_output` is the "-show" value as far
// as the pairs were read (1 when none was); the other fields matter only when
// `kind` is not kUsage.
struct CommandLine {
  RunKind kind = RunKind::kUsage;
  LabelRequest request;
  LabelGeometry geometry;
  std::string printer;
  int show_output = 1;
};

// Reads the arguments after the program name by the tool's option table
// (ReadCommandLine: options matched by prefix in table order, so "-Pxyz"
// counts as "-P"; values of at most 32 bytes, -P and -list up to 1024; a
// queue name CUPS accepts, an -n name that fits a PPD line, a -specid usable
// as a PPD keyword).  "-list <queue>" (the exact argument "-list"; anything
// else beginning with "-l" is the left margin) asks for kList.  Touches
// nothing.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// ---- Operations ------------------------------------------------------------

// Appends to `listing` one line per label format of the PPD at
// request.ppd_path, in file order (its "*PageSize" label lines): identifier,
// width and length in millimetres from its "*PaperDimension" line, and name,
// separated by TABs.  Returns 0, or -1 (errno set) when the PPD cannot be
// read.  Writes no file and runs no command.
int ListLabels(const LabelRequest& request, std::string* listing);

// Writes the usage text to standard output unless show_output is 0.
void DisplayHelp();

// Adds the label format of `request` and `geometry` to the queue's PPD: copies
// request.ppd_path into the scratch PPD (created afresh, mode 0644) with the
// page-size and page-region lines before every "*CloseUI: *PageSize" and
// "*CloseUI: *PageRegion" line, the imageable-area and paper-dimension lines
// before the first "*ImageableArea" and "*PaperDimension" line, and, when the
// PPD declares the CvMargin option ("*OpenUI *CvMargin"), the margin
// constraints at the end; then re-registers the queue with the copy.
// Returns -1 (errno set) when the PPD cannot be read or the copy cannot be
// created or written whole; the copy is then removed and no CUPS command has
// run.  Otherwise returns the result of ReRegisterQueue.
int AddLabel(LabelRequest request, LabelGeometry geometry);

// Writes "*UIConstraints:\t*CvMargin <i>\t*PageSize <label_id>" lines to `out`
// for i from half of `length_mm` (rounded up, at least 3) to 30; none for
// labels longer than 60 mm.  Always returns 0; a failed write shows in
// out.error.
int SetConstraints(LineWriter& out, std::string_view label_id, int64_t length_mm);

// Removes the label format called request.label_name from the queue's PPD:
// copies the PPD into the scratch PPD leaving out every line that carries the
// format's identifier, except that a "*DefaultPageSize:",
// "*DefaultPageRegion:", "*DefaultImageableArea:" or "*DefaultPaperDimension:"
// line carrying it becomes that keyword, a TAB and the page size to fall back
// to: "50x30" when the PPD offers it, otherwise the first "*PageSize" choice
// left in the file; then re-registers the queue with the copy.  Returns 1 when
// no such format is in the PPD (nothing written, no command run); -1 (errno
// set) when the PPD cannot be read or the copy cannot be created or written
// whole (copy removed, no command run); otherwise the result of
// ReRegisterQueue.
int RemoveLabel(LabelRequest request);
