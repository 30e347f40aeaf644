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

// Returns true when the label is not wider than the 448 printable dots, or
// when both its left and right margins lie within `range` (bounds included);
// `range` is filled whenever the check applies.  Returns false otherwise.
bool CheckWideMediaMargins(const LabelGeometry& geometry, MarginRange* range);

// The three lines (and the empty line after the first) main prints when the
// check fails.
std::string MarginErrorText(const MarginRange& range);

// ---- The operations --------------------------------------------------------
// Each hands back its Outcome; main tells it, each note and the failure on a
// line of standard error that begins with "cvpapertoollpr_<model>: ".

// Writes the usage text to standard output.
void DisplayHelp();

// Appends to `listing` one line per label format of the model's tape list
// file, in file order: identifier, width and length in millimetres from the
// paper-dimension file, name, and "ppd" when the CUPS tool lists the same
// identifier for `request.printer`, "-" when it does not, "?" for every line
// when the CUPS tool fails or answers with anything but listing lines; TABs
// between the fields.  Then one line in the same layout, with "ppd-only"
// last, per format the PPD lists under an identifier the tape list lacks.
// Fails with kFileError when the tape list or paper-dimension file cannot be
// read.
Outcome ListModelFormats(const LprRequest& request, std::string* listing);

// Has the CUPS tool remove the label format called `request.label_name` from
// the PPD of `request.printer`, then takes the lines of every identifier that
// the tape list or print-area file gives the name out of the information
// files (ChangeInfoFiles), turning the settings lines that name one into
// "MediaSize=50x30"; the geometry plays no part.  Ends in kNotPresent when neither file names it
// (nothing changed); fails with kCommandError when the CUPS tool failed (no information file
// touched), or with kFileError when an information file could not be read or rewritten.
Outcome RemoveLabel(LprRequest request, LabelGeometry geometry);

// Makes a fresh label identifier, or keeps the name's identifier when its
// whole-millimetre width and length stay, and has the CUPS tool add the label
// format under it (replacing a format of the same name in the PPD; a format
// the PPD cannot take leaves a note instead), then replaces the information
// files' entries of every identifier the tape list or print-area file gives
// the name by the new ones (ChangeInfoFiles); settings lines that named one
// of them name the new one.  Fails as RemoveLabel does.
Outcome AddLabel(LprRequest request, LabelGeometry geometry);

// A sync's work: the arguments of each addition it makes, as the CUPS tool's
// sync reads them (TABs between them, a line feed after them), and a listing
// line (ListModelFormats' layout, "ppd" last) per format it restores.
struct SyncPlan {
  std::string additions;
  std::string listing;
};

// Plans the sync of the PPD of `request.printer` with the model's information
// files: every label format of the tape list that the PPD lacks and can take
// goes into `plan`, with the lines its addition wrote; a format the PPD
// cannot take leaves a note and is passed over.  First takes out of the
// information files the lines of every identifier that neither the tape list
// nor the print-area file names (RemoveUnnamedIds); otherwise they are only
// read.  Fails with kFileError when an information file cannot be read or
// rewritten, and with kCommandError when the PPD cannot be listed.
Outcome PlanSync(const LprRequest& request, SyncPlan* plan);

// Puts the formats of `plan` into the PPD through one run of the CUPS tool's
// sync (one re-registration); runs nothing for an empty plan.  Fails with
// kCommandError, the PPD as it was, when the CUPS tool's sync fails, with
// nothing in `failed` when the CUPS tool has told that itself.
Outcome RunSync(const LprRequest& request, const SyncPlan& plan);
