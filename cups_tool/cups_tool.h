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

// Reads the arguments after the program name (options matched by prefix, so
// "-Pxyz" counts as "-P"; values up to 32 bytes, -P up to 1024; names and
// identifiers a PPD can take).  Exactly "-list <queue>" is kList and
// "-sync <queue>" kSync.  Touches nothing.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// ---- Operations ------------------------------------------------------------

// Writes the usage text to standard output unless show_output is 0.
void DisplayHelp();

// Appends to `listing` a line per "*PageSize" label format of the PPD, in
// file order: identifier, width and length in mm (its "*PaperDimension"),
// name, TAB-separated.  Fails with kFileError when the PPD cannot be read.
Outcome ListQueueFormats(const LabelRequest& request, std::string* listing);

// Adds the format to the queue's PPD under request.label_id (fresh when
// empty), replacing one of the same name, through the scratch PPD and one
// re-registration.  Fails with kFileError or kNoPlaceInPpd before any CUPS
// command; otherwise ends as ReRegisterQueue does (kDone, nothing run, when
// the PPD held the format already).
Outcome AddLabel(LabelRequest request, LabelGeometry geometry);

// Removes the format request.label_name from the queue's PPD through the
// scratch PPD and re-registers the queue.  A default line naming it falls back
// to "50x30" when the PPD offers it, else to the first page size left.  Ends
// in kNotPresent or fails with kFileError with nothing run; otherwise ends as
// ReRegisterQueue does.
Outcome RemoveLabel(LabelRequest request);

// One label format as an addition takes it.
struct LabelFormat {
  LabelRequest request;  // with its label_id
  LabelGeometry geometry;
};

// A label format to put into a PPD, and the identifier of an earlier format
// of the same name that it replaces ("" for none).  A format that replaces
// its own identifier keeps it: its lines are replaced where they stand.
struct PpdInsertion {
  LabelFormat format;
  std::string replaces;
};

// Puts `insertions` into the PPD at `ppd_path` through the scratch PPD
// (WriteEditedPpd) and re-registers the queue with it once, defaults following
// each replaced identifier; nothing is run when the PPD stays as it was.
Outcome InsertIntoPpd(const std::string& ppd_path, const std::vector<PpdInsertion>& insertions);

// Puts each of `formats` whose identifier the PPD lacks into it as AddLabel
// would, in one edit and one re-registration (none when it lacks none).
// Fails as AddLabel does.
Outcome SyncLabels(const std::string& ppd_path, const std::vector<LabelFormat>& formats);
