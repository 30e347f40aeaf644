// The advisory lock that keeps overlapping runs of a tool apart.
#include "run_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

RunLock::~RunLock() {
  if (fd >= 0) close(fd);
}

bool LockDirectory(const std::string& directory, RunLock* lock) {
  int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  while (flock(fd, LOCK_EX) != 0) {
    if (errno != EINTR) {
      int saved = errno;
      close(fd);
      errno = saved;
      return false;
    }
  }
  lock->fd = fd;
  return true;
}
