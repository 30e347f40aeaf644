// The LPRng paper-size tool: its request record and the operations its main calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "command_options.h"
#include "paper_size_tool.h"

// One request of the tool, filled by main from the program name and the
// command line.
struct LprRequest {
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

// Whether a label wider than the 448 printable dots has both side margins
// within `range` (bounds included), which is filled when the check applies;
// true for narrower labels.
bool CheckWideMediaMargins(const LabelGeometry& geometry, MarginRange* range);

// What main prints when the check fails.
std::string MarginErrorText(const MarginRange& range);

// ---- The operations --------------------------------------------------------
// Each hands back its Outcome; main tells it, each note and the failure on a
// line of standard error that begins with "cvpapertoollpr_<model>: ".

// Writes the usage text to standard output.
void DisplayHelp();

// Appends to `listing` a line per label format of the tape list, in file
// order: identifier, width and length in mm (paper-dimension file), name, and
// "ppd" when the CUPS tool lists the identifier for `request.printer`, "-"
// when not, "?" when its listing fails or cannot be read; TABs between.  Then
// a line ending in "ppd-only" per identifier the PPD lists and the tape list
// lacks.  Fails with kFileError when the tape list or paper-dimension file
// cannot be read.
Outcome ListModelFormats(const LprRequest& request, std::string* listing);

// Has the CUPS tool remove the format `request.label_name` from the queue's
// PPD, then takes every identifier the name files give the name out of the
// information files (ChangeInfoFiles).  The geometry plays no part.  Ends in
// kNotPresent when no name file names it; fails with kCommandError when the
// CUPS tool failed (no information file touched) or with kFileError.
Outcome RemoveLabel(LprRequest request, LabelGeometry geometry);

// Keeps the name's identifier when its whole-mm width and length stay, or
// makes a fresh one, and has the CUPS tool add the format under it (a format
// the PPD cannot take leaves a note instead), then puts its entries into the
// information files in place of the name's earlier ones (ChangeInfoFiles).
// Fails as RemoveLabel does.
Outcome AddLabel(LprRequest request, LabelGeometry geometry);

// A sync's work: a line of TAB-separated addition arguments per format, as
// the CUPS tool's sync reads them, and a listing line ("ppd" last) for each.
struct SyncPlan {
  std::string additions;
  std::string listing;
};

// Plans putting back into the queue's PPD the newest format of each name of
// the tape list that the PPD lacks and can take (one it cannot take leaves a
// note), after RemoveUnnamedIds.  Fails with kFileError, or with
// kCommandError when the PPD cannot be listed.
Outcome PlanSync(const LprRequest& request, SyncPlan* plan);

// Puts the plan into the PPD with one run of the CUPS tool's sync (none for
// an empty plan).  Fails with kCommandError, the PPD as it was, with nothing
// in `failed` when the CUPS tool has said why itself.
Outcome RunSync(const LprRequest& request, const SyncPlan& plan);
