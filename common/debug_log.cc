// The append-only debug log.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "fixed_paths.h"
#include "paper_size_tool.h"
#include "text_format.h"

namespace {

// Opens the log as DebugLog's comment describes.  O_NONBLOCK keeps a FIFO
// planted at the name from hanging the tool until a reader comes.
int OpenLog(const std::string& path) {
  int fd =
      open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
  if (fd < 0) return -1;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1 || st.st_uid != geteuid() ||
      fcntl(fd, F_SETFL, O_APPEND) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

// Appends all of `text`; false when a write fails.
bool AppendAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    text.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

}  // namespace

int DebugLog(const char* format, ...) {
  static int log = -1;
  const std::string path = FixedPath(kDebugLogPath);
  if (log < 0) {
    log = OpenLog(path);
    if (log < 0) {
      std::printf("\n!!! log file open error.!!! [%s]\n", path.c_str());
      std::exit(1);
    }
  }
  va_list args;
  va_start(args, format);
  const std::string text = FormatTextV(format, args);
  va_end(args);
  if (!AppendAll(log, text)) {
    std::printf("\n!!! log file write error.!!! [%s]\n", path.c_str());
    std::exit(1);
  }
  return static_cast<int>(text.size());
}
