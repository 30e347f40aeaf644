// Creating files afresh at fixed names and closing written files with checks.
#include "scratch_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

int CreateFreshFd(const std::string& path, mode_t mode) {
  if (unlink(path.c_str()) != 0 && errno != ENOENT) {
    if (errno != EISDIR || rmdir(path.c_str()) != 0) return -1;
  }
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  if (fd < 0) return -1;
  if (fchmod(fd, mode) != 0) {
    int saved = errno;
    close(fd);
    unlink(path.c_str());
    errno = saved;
    return -1;
  }
  return fd;
}

std::FILE* CreateFreshFile(const std::string& path, mode_t mode) {
  int fd = CreateFreshFd(path, mode);
  if (fd < 0) return nullptr;
  std::FILE* out = fdopen(fd, "wb");
  if (out == nullptr) {
    int saved = errno;
    close(fd);
    unlink(path.c_str());
    errno = saved;
  }
  return out;
}

int CloseFdChecked(int fd, bool sync) {
  int failure = 0;
  if (sync && fsync(fd) != 0) failure = errno;
  if (close(fd) != 0 && failure == 0) failure = errno;
  if (failure == 0) return 0;
  errno = failure;
  return -1;
}

int CloseChecked(std::FILE* out, bool sync) {
  int failure = 0;
  if (std::fflush(out) != 0 || std::ferror(out) != 0) failure = errno != 0 ? errno : EIO;
  if (failure == 0 && sync && fsync(fileno(out)) != 0) failure = errno;
  if (std::fclose(out) != 0 && failure == 0) failure = errno;
  if (failure == 0) return 0;
  errno = failure;
  return -1;
}
