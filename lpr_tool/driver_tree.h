// Where a model's files lie in the driver's tree, and commands for its CUPS tool.
#pragma once

#include <sys/types.h>

#include <string>

#include "lpr_tool.h"

// The model's information directory, "<driver root><model>/bin/inf".
std::string InfoDirectory(const std::string& model);

std::string TapeListPath(const std::string& model);        // .../cv<model>func
std::string PrintAreaPath(const std::string& model);       // .../paperinf<model>pt1
std::string SettingsPath(const std::string& model);        // .../cv<model>rc
std::string ImagingAreaPath(const std::string& model);     // .../ImagingArea
std::string PaperDimensionPath(const std::string& model);  // .../PaperDimension

// "customtape/<name>.bin" in the model's information directory.
std::string MediaFilePath(const std::string& model, const std::string& label_name);

// ---- Shell commands running the model's CUPS tool, every value quoted -----

std::string CupsToolProgram(const std::string& model);

// "<the model's CUPS tool> failed (status <status>)".
std::string CupsToolFailed(const LprRequest& request, int status);

// "<tool> -P <queue> -d <name> -show 1": removes the label format from the PPD.
std::string RemovalCommand(const LprRequest& request);

// "<tool> -P <queue> -n <name> -w W -h H -l L -t T -r R -b B -g G -S K -m M -o O
// -specid <id> -show 1", fractions in two decimals: adds the label format.
std::string AdditionCommand(const LprRequest& request, const LabelGeometry& geometry,
                            const std::string& label_id);

// "<tool> -list <queue>": lists the label formats of the PPD.
std::string ListingCommand(const LprRequest& request);

// "<tool> -sync <queue>": adds the label formats of its standard input.
std::string SyncCommand(const LprRequest& request);

// Why a PPD cannot take a label format `name` with the margins of `geometry`
// (already rounded to two decimals), or nullptr when it can.
const char* PpdRefusal(const std::string& name, const LabelGeometry& geometry);

// Two decimals, as every fraction reaches the CUPS tool.
std::string TwoDecimals(double value);

// `value` as it reads back from TwoDecimals: what every file records of a
// margin, gap or mark, so that a sync rebuilds exactly what an addition wrote.
double RoundedToTwoDecimals(double value);
