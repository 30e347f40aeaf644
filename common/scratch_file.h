// Creating files afresh at fixed names and closing written files with checks.
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <string>

// Removes whatever stands at `path` (a file, a link, a FIFO, an empty
// directory) and creates a new regular file there exclusively, never following
// a symbolic link (O_CREAT|O_EXCL|O_NOFOLLOW), with exactly `mode` whatever
// the umask.  Returns the descriptor opened for writing (close-on-exec), or -1
// with errno set when the name cannot be cleared or the file cannot be created.
int CreateFreshFd(const std::string& path, mode_t mode);

// The same as a stream opened for writing; nullptr with errno set on failure.
std::FILE* CreateFreshFile(const std::string& path, mode_t mode);

// Forces the file to disk when `sync` is set, and closes `fd`.  Returns 0, or
// -1 with errno of the first failure.  The descriptor is closed in every case.
int CloseFdChecked(int fd, bool sync);

// Flushes `out`, forces it to disk when `sync` is set, and closes it.  Returns
// 0 when every byte written reached the file and it closed cleanly; otherwise
// -1 with errno of the first failure.  The stream is closed in every case.
int CloseChecked(std::FILE* out, bool sync);
