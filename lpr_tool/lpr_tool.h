// The LPRng paper-size tool: its request record and the operations its main calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "command_options.h"
#include "paper_size_tool.h"

// One request of the tool.  main fills it from the command line and hands it
// by value to RemoveLabel and AddLabel.
struct LprRequest {
  std::string work_path;   // empty from main; each operation keeps in its own copy the
                           // path of the information file it is rewriting
  std::string model;       // model code from the program name, e.g. "km3030"
  std::string printer;     // print queue name (-P)
  std::string label_name;  // label format name (-n or -d)
  int64_t width_mm = 0;    // integer reading of -w
  int64_t length_mm = 0;   // integer reading of -h
  int32_t media_kind = 0;  // -S: 0 continuous tape, 1 die-cut label, 2 media with marks
};

// Exit statuses of the tool: success (and every refused command line), and
// the failure of a removal or an insertion (-1 as the shell sees it).
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 255;

// ---- Model detection -------------------------------------------------------

// Returns the model code of the first model key ("410", "460", "480", "560",
// "630", "3030", in this order) found anywhere in `program` (the program name
// as invoked, directory part included), or "" when it holds none.
std::string FindModel(std::string_view program);

// ---- Command line ----------------------------------------------------------

inline constexpr size_t kMaxPrinterBytes = 2048;  // longest -P value
inline constexpr size_t kMaxValueBytes = 99;      // longest value of every other option
// Reads the arguments after the program name by the tool's option table
// (ReadCommandLine: options told apart by their first two characters, values
// of at most 99 bytes, -P up to 2048, an -n name without "/" or control
// bytes, media kind 2 only with -m and -o) into `request` and `geometry`, and
// returns what they ask for; "-list <queue>" puts the queue into
// `request->printer`.  `request->model` is left as it is.  Touches nothing
// outside the two records.
RunKind ParseCommandLine(const std::vector<std::string>& args, LprRequest* request,
                         LabelGeometry* geometry);

// ---- Wide-media margin check -----------------------------------------------

// The allowed range of the left and right margins of a wide label, in mm.
struct MarginRange {
  float lower = 0;
  float upper = 0;
};

// Returns true when the label is not wider than the 448 printable dots, or
// when both its left and right margins lie within `range` (bounds included);
// `range` is filled whenever the check applies.  Returns false otherwise.
bool CheckWideMediaMargins(const LabelGeometry& geometry, MarginRange* range);

// The three lines (and the empty line after the first) main prints when the
// check fails.
std::string MarginErrorText(const MarginRange& range);

// ---- Driver tree -----------------------------------------------------------

// The model's information directory, "<driver root><model>/bin/inf".
std::string InfoDirectory(const std::string& model);

// ---- Usage text ------------------------------------------------------------

// Writes the usage text to standard output.
void DisplayHelp();

// ---- The operations --------------------------------------------------------

// Appends to `listing` one line per label format of the model's tape list
// file, in file order: identifier, width and length in millimetres from the
// paper-dimension file, name, and "ppd" when the CUPS tool lists the same
// identifier for `request.printer`, "-" when it does not, "?" for every line
// when the CUPS tool fails; TABs between the fields.  Returns 0, or -1 (errno
// set) when the tape list or paper-dimension file cannot be read.
int ListLabels(const LprRequest& request, std::string* listing);

// Has the CUPS tool remove the label format called `request.label_name` from
// the PPD of `request.printer`, then drops its lines from the tape list,
// print-area, imaging-area and paper-dimension files and turns the settings
// lines that name it into "MediaSize=50x30".  The geometry plays no part.
// Returns:
//   0  found and removed;
//   1  not in the tape list file (nothing changed), or not in the print-area
//      file (the tape list file is already rewritten, the others unchanged);
//  -2  the CUPS tool failed; no information file was touched;
//  -1  an information file could not be read or rewritten (errno set); the
//      files before it stay rewritten, it and those after it are unchanged.
int RemoveLabel(LprRequest request, LabelGeometry geometry);

// Makes a fresh label identifier, has the CUPS tool add the label format
// under it, then puts its entry after every "[CustomTape]" line of the tape
// list file and at the end of the print-area, imaging-area and
// paper-dimension files.  Returns 0 when done, -2 when the CUPS tool failed
// (no information file touched), -1 when an information file could not be read
// or rewritten (errno set; earlier files stay rewritten, it and later ones are
// unchanged).
int AddLabel(LprRequest request, LabelGeometry geometry);
