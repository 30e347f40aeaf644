// Where the model's LPRng information files lie.
#include "fixed_paths.h"
#include "lpr_tool.h"

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
