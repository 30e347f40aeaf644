// The advisory lock that keeps overlapping runs of a tool apart.
#pragma once

#include <string>

// Holds an exclusive flock on a directory for as long as it lives.  The
// descriptor is close-on-exec, so programs the tool starts do not hold it.
struct RunLock {
  int fd = -1;

  RunLock() = default;
  RunLock(const RunLock&) = delete;
  RunLock& operator=(const RunLock&) = delete;
  ~RunLock();
};

// Waits for and takes the lock on `directory`.  Returns false (errno set)
// when the directory cannot be opened or locked; the caller then goes on
// without it, and its file operations report the missing directory.
bool LockDirectory(const std::string& directory, RunLock* lock);
