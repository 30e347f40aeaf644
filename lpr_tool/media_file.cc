// Writing the custom-tape media file of a label format.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "fixed_paths.h"
#include "lpr_tool.h"
#include "scratch_file.h"

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
  const std::string temp = path + ".$$$";
  std::FILE* out = CreateFreshFile(temp, PlainCreateMode());
  if (out == nullptr) return -1;
  fwrite_line_string(reinterpret_cast<const char*>(kMediaCommandHeader.data()),
                     static_cast<int64_t>(kMediaCommandHeader.size()), out);
  fwrite_line_string(reinterpret_cast<const char*>(record.data()),
                     static_cast<int64_t>(record.size()), out);
  if (CloseChecked(out, true) == 0 && std::rename(temp.c_str(), path.c_str()) == 0) return 0;
  const int saved = errno;
  unlink(temp.c_str());
  errno = saved;
  return -1;
}
