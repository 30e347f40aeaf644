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
  std::string printer;     // print queue name (-P, or the queue of -list or -sync)
  std::string label_name;  // label format name (-n or -d)
  int64_t width_mm = 0;    // integer reading of -w
  int64_t length_mm = 0;   // integer reading of -h
  int32_t media_kind = 0;  // -S: 0 continuous tape, 1 die-cut label, 2 media with marks
};

// Exit statuses of the tool: success (and every refused command line), and
// every failure (-1 as the shell sees it).
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 255;

// Returns the model code of the first model key ("410", "460", "480", "560",
// "630", "3030", in this order) found anywhere in `program` (the program name
// as invoked, directory part included), or "" when it holds none.
std::string FindModel(std::string_view program);

// ---- Command line ----------------------------------------------------------

inline constexpr size_t kMaxValueBytes = 99;  // longest value of every option but -P

// What the command line asks for, and the records it fills (`request.model`
// stays empty).
struct LprCommandLine {
  RunKind kind = RunKind::kUsage;
  LprRequest request;
  LabelGeometry geometry;
};

// Reads the arguments after the program name by the tool's option table
// (ReadCommandLine: options told apart by their first two characters, values
// of at most 99 bytes; a -P queue name CUPS accepts, an -n name without "/",
// control bytes or an identifier; media kind 2 only with -m and -o).  Exactly
// "-list <queue>" (any queue name) asks for kList, exactly "-sync <queue>"
// for kSync.  Touches nothing.
LprCommandLine ParseCommandLine(const std::vector<std::string>& args);

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

// ---- The operations --------------------------------------------------------
// Each reports its own failures on standard error, as one line that begins
// with "cvpapertoollpr_<model>: ", except the file errors of RemoveLabel,
// whose errno main prints.

// Writes the usage text to standard output.
void DisplayHelp();

// Appends to `listing` one line per label format of the model's tape list
// file, in file order: identifier, width and length in millimetres from the
// paper-dimension file, name, and "ppd" when the CUPS tool lists the same
// identifier for `request.printer`, "-" when it does not, "?" for every line
// when the CUPS tool fails or answers with anything but listing lines; TABs
// between the fields.  Then one line in the same layout, with "ppd-only"
// last, per format the PPD lists under an identifier the tape list lacks.
// Returns 0, or -1 (errno set) when the tape list or paper-dimension file
// cannot be read, after a line on standard error has named the file.
int ListModelFormats(const LprRequest& request, std::string* listing);

// Has the CUPS tool remove the label format called `request.label_name` from
// the PPD of `request.printer`, then takes the lines of every identifier that
// the tape list or print-area file gives the name out of the information
// files (ChangeInfoFiles), turning the settings lines that name one into
// "MediaSize=50x30".  The geometry plays no part.  Returns:
//   0  found and removed;
//   1  neither file names it (nothing changed);
//  -2  the CUPS tool failed; no information file was touched;
//  -1  an information file could not be read or rewritten (errno set).
int RemoveLabel(LprRequest request, LabelGeometry geometry);

// Makes a fresh label identifier and has the CUPS tool add the label format
// under it (replacing a format of the same name in the PPD), then replaces the
// information files' entries of every identifier the tape list or print-area
// file gives the name by the new ones (ChangeInfoFiles); settings lines that
// named one of them name the new one.  Returns 0 when done, -2 when the CUPS
// tool failed (no information file touched), -1 when an information file
// could not be read or rewritten.
int AddLabel(LprRequest request, LabelGeometry geometry);

// Puts every label format of the model's information files that the PPD of
// `request.printer` lacks and can take back into it, through one run of the
// CUPS tool's sync (one re-registration), with the lines its addition wrote;
// a format the PPD cannot take is reported and passed over.  First takes out
// of the information files the lines of every identifier that neither the
// tape list nor the print-area file names (RemoveUnnamedIds).  Appends a
// listing line (ListModelFormats' layout, "ppd" last) per restored format to
// `restored`.  Returns 0 when the PPD holds every format it can take (no
// command that changes anything run when it held them already), -1 when an
// information file cannot be read, -2 when the PPD cannot be listed or the
// CUPS tool's sync failed (the PPD as it was).  The information files and
// media files are only read.
int SyncQueue(const LprRequest& request, std::string* restored);
