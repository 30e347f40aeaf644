// The advisory lock that keeps overlapping runs of a tool apart.
#include "run_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

// Waits for the lock.  When the directory cannot be opened (its files cannot
// be changed then either, which is reported) or a filesystem without locks
// refuses it (ENOLCK), the run goes on without it.
RunLock::RunLock(const std::string& directory)
    : fd(open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
  while (fd >= 0 && flock(fd, LOCK_EX) != 0 && errno == EINTR) {
  }
}

RunLock::~RunLock() {
  if (fd >= 0) close(fd);
}
