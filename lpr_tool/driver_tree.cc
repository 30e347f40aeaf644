// Where a model's files lie in the driver's tree, and commands for its CUPS tool.
#include "driver_tree.h"

#include <cstdlib>

#include "fixed_paths.h"
#include "shell_command.h"
#include "text_format.h"

std::string InfoDirectory(const std::string& model) {
  return FixedPath(kDriverRoot) + model + "/bin/inf";
}

std::string TapeListPath(const std::string& model) {
  return InfoDirectory(model) + "/cv" + model + "func";
}

std::string PrintAreaPath(const std::string& model) {
  return InfoDirectory(model) + "/paperinf" + model + "pt1";
}

std::string SettingsPath(const std::string& model) {
  return InfoDirectory(model) + "/cv" + model + "rc";
}

std::string ImagingAreaPath(const std::string& model) {
  return InfoDirectory(model) + "/ImagingArea";
}

std::string PaperDimensionPath(const std::string& model) {
  return InfoDirectory(model) + "/PaperDimension";
}

std::string MediaFilePath(const std::string& model, const std::string& label_name) {
  return InfoDirectory(model) + "/customtape/" + label_name + ".bin";
}

std::string CupsToolProgram(const std::string& model) {
  return FixedPath(kDriverRoot) + model + "/bin/lpd/cvpapertoolcups";
}

std::string CupsToolFailed(const LprRequest& request, int status) {
  return CupsToolProgram(request.model) + " failed (status " + std::to_string(status) + ")";
}

std::string TwoDecimals(double value) { return FormatText("%.2f", value); }

double RoundedToTwoDecimals(double value) {
  return std::strtod(TwoDecimals(value).c_str(), nullptr);
}

const char* PpdRefusal(const std::string& name, const LabelGeometry& geometry) {
  if (name.size() > kMaxPpdLabelName) return "its name is longer than 32 bytes";
  if (!IsPpdLabelName(name)) return "a PPD cannot take its name";
  for (double margin : {geometry.left, geometry.top, geometry.right, geometry.bottom}) {
    if (!(margin > 0)) return "a margin of it is 0";
  }
  return nullptr;
}

std::string RemovalCommand(const LprRequest& request) {
  return JoinWords({CupsToolProgram(request.model), "-P", request.printer, "-d", request.label_name,
                    "-show", "1"});
}

std::string AdditionCommand(const LprRequest& request, const LabelGeometry& geometry,
                            const std::string& label_id) {
  // clang-format off
  return JoinWords({CupsToolProgram(request.model), "-P", request.printer, "-n", request.label_name,
                    "-w", std::to_string(request.width_mm), "-h", std::to_string(request.length_mm),
                    "-l", TwoDecimals(geometry.left), "-t", TwoDecimals(geometry.top),
                    "-r", TwoDecimals(geometry.right), "-b", TwoDecimals(geometry.bottom),
                    "-g", TwoDecimals(geometry.gap), "-S", std::to_string(request.media_kind),
                    "-m", TwoDecimals(geometry.mark), "-o", TwoDecimals(geometry.mark_offset),
                    "-specid", label_id, "-show", "1"});
  // clang-format on
}

std::string ListingCommand(const LprRequest& request) {
  return JoinWords({CupsToolProgram(request.model), "-list", request.printer});
}

std::string SyncCommand(const LprRequest& request) {
  return JoinWords({CupsToolProgram(request.model), "-sync", request.printer});
}
