// Writing the custom-tape media file of a label format.
#include <sys/stat.h>

#include "lpr_tool.h"

namespace {

// The mode a plain create gives a file: 0666 less the process's umask.
mode_t PlainCreateMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

std::string MediaFilePath(const std::string& model, const std::string& label_name) {
  return InfoDirectory(model) + "/customtape/" + label_name + ".bin";
}

int WriteMediaFile(const std::string& path, const MediaRecord& record) {
  std::string data(kMediaCommandHeader.begin(), kMediaCommandHeader.end());
  data.append(record.begin(), record.end());
  return ReplaceFile(path, PlainCreateMode(), data);
}
