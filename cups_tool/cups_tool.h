// The CUPS paper-size tool: its request record, process-wide values and operations.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "command_options.h"
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

// The queue named by "-P" (or by a mode); the re-registration's commands name it.
extern std::string printer_name;
// Set by "-show"; while 0 the tool itself prints nothing on standard output.
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
// counts as "-P"; values of at most 32 bytes, -P up to 1024; a queue name
// CUPS accepts, an -n name that fits a PPD line and holds no identifier, a
// -specid usable as a PPD keyword).  Exactly "-list <queue>" asks for kList
// and exactly "-sync <queue>" for kSync.  Touches nothing.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// ---- Operations ------------------------------------------------------------

// Writes the usage text to standard output unless show_output is 0.
void DisplayHelp();

// Appends to `listing` one line per label format of the PPD at
// request.ppd_path, in file order (its "*PageSize" label lines): identifier,
// width and length in millimetres from its "*PaperDimension" line, and name,
// separated by TABs.  Fails with kFileError when the PPD cannot be read.
Outcome ListQueueFormats(const LabelRequest& request, std::string* listing);

// Adds the label format of `request` and `geometry` to the queue's PPD under
// request.label_id (a fresh identifier when it is empty), replacing a format
// of the same name: copies the PPD into the scratch PPD (WriteEditedPpd) and
// re-registers the queue with the copy, once.  Fails with kFileError when the
// PPD cannot be read or the copy cannot be written whole, or with
// kNoPlaceInPpd, before any CUPS command has run; otherwise ends as
// ReRegisterQueue does, or in kDone when the PPD already held the format.
Outcome AddLabel(LabelRequest request, LabelGeometry geometry);

// Removes the label format called request.label_name from the queue's PPD:
// copies the PPD into the scratch PPD leaving out every line that carries the
// format's identifier, except that a "*DefaultPageSize:",
// "*DefaultPageRegion:", "*DefaultImageableArea:" or "*DefaultPaperDimension:"
// line carrying it becomes that keyword, a TAB and the page size to fall back
// to: "50x30" when the PPD offers it, otherwise the first "*PageSize" choice
// left in the file; then re-registers the queue with the copy.  Ends in
// kNotPresent when no such format is in the PPD, fails with kFileError when
// the PPD cannot be read or the copy cannot be written whole (nothing written
// or run in either case), and otherwise ends as ReRegisterQueue does.
Outcome RemoveLabel(LabelRequest request);

// One label format as an addition takes it.
struct LabelFormat {
  LabelRequest request;  // with its label_id
  LabelGeometry geometry;
};

// Puts into the PPD at `ppd_path`, in one edit and with one re-registration,
// every one of `formats` whose identifier it lacks, in the order given, each
// as AddLabel would (a format of the same name is replaced).  Ends in kDone
// when the PPD holds them all (nothing written and no command run when it
// held them already); fails as AddLabel does.
Outcome SyncLabels(const std::string& ppd_path, const std::vector<LabelFormat>& formats);
