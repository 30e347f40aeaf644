// The model's LPRng information files and their safe rewrite.
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "edited_copy.h"
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

int RewriteInfoFile(const std::string& path, const std::vector<std::string_view>& markers,
                    const LineEdit& edit, const FinishEdit& finish) {
  const std::string temp = path + ".$$$";
  if (WriteEditedCopy(path, temp, 0666, true, markers, edit, finish) != 0) return -1;
  // rename replaces the file in one step: there is no moment without it.
  if (std::rename(temp.c_str(), path.c_str()) == 0) return 0;
  const int saved = errno;
  unlink(temp.c_str());
  errno = saved;
  return -1;
}
