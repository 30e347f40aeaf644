// The advisory lock that keeps overlapping runs of a tool apart.
#pragma once

#include <string>

// Holds an exclusive flock on a directory for as long as it lives.  The
// descriptor is close-on-exec, so programs the tool starts do not hold it.
struct RunLock {
  int fd = -1;

  explicit RunLock(const std::string& directory);
  RunLock(const RunLock&) = delete;
  RunLock& operator=(const RunLock&) = delete;
  ~RunLock();
};
