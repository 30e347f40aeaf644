// Creating files afresh at fixed names and closing written files with checks.
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <string>

// Removes whatever stands at `path` (a file, a link, a FIFO, an empty
// directory) and creates a new regular file there exclusively, never following
// a symbolic link (O_CREAT|O_EXCL|O_NOFOLLOW), with exactly `mode` whatever
// the umask.  Returns the stream opened for writing, or nullptr with errno set
// when the name cannot be cleared or the file cannot be created.
std::FILE* CreateFreshFile(const std::string& path, mode_t mode);

// Flushes `out`, forces it to disk when `sync` is set, and closes it.  Returns
// 0 when every byte written reached the file and it closed cleanly; otherwise
// -1 with errno of the first failure.  The stream is closed in every case.
int CloseChecked(std::FILE* out, bool sync);
