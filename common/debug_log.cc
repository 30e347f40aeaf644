// The append-only debug log shared by both paper-size tools.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "fixed_paths.h"
#include "paper_size_tool.h"

namespace {

// Opens the log for appending.  Only a regular file of this process's user
// with no other name is appended to.  Anything else that someone may have
// planted at the name is refused: a symbolic link (not followed), a FIFO
// (opened without waiting for a reader, which would hang the tool), a hard
// link to another file, or another user's file.
std::FILE* OpenLog(const std::string& path) {
  int fd =
      open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
  if (fd < 0) return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1 || st.st_uid != geteuid() ||
      fcntl(fd, F_SETFL, O_APPEND) != 0) {
    close(fd);
    return nullptr;
  }
  std::FILE* log = fdopen(fd, "a");
  if (log == nullptr) close(fd);
  return log;
}

}  // namespace

int DebugLog(const char* format, ...) {
  // The one process-wide log stream: opened on first use, closed by exit.
  static std::FILE* log = nullptr;
  const std::string path = FixedPath(kDebugLogPath);
  if (log == nullptr) {
    log = OpenLog(path);
    if (log == nullptr) {
      std::printf("\n!!! log file open error.!!! [%s]\n", path.c_str());
      std::exit(1);
    }
  }
  va_list args;
  va_start(args, format);
  int written = std::vfprintf(log, format, args);
  va_end(args);
  if (written < 0) {
    std::printf("\n!!! log file write error.!!! [%s]\n", path.c_str());
    std::exit(1);
  }
  std::fflush(log);
  return written;
}
