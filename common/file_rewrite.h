// Writing files safely: fresh files at fixed names, and the line-by-line edits
// and replacements that every file change of the tools goes through.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "line_stream.h"

// Removes whatever stands at `path` (a file, a link, a FIFO, an empty
// directory) and creates a new regular file there exclusively, never following
// a symbolic link (O_CREAT|O_EXCL|O_NOFOLLOW), with exactly `mode` whatever
// the umask.  Returns the descriptor opened for writing (close-on-exec), or -1
// with errno set when the name cannot be cleared or the file cannot be created.
int CreateFreshFd(const std::string& path, mode_t mode);

// Forces the file to disk when `sync` is set, and closes `fd`.  Returns 0, or
// -1 with errno of the first failure.  The descriptor is closed in every case.
int CloseFdChecked(int fd, bool sync);

// edit(line, out) writes whatever stays of one line (its line feed included
// when it has one); finish(out) adds text at the end.
using LineEdit = std::function<void(std::string_view line, LineWriter& out)>;
using FinishEdit = std::function<void(LineWriter& out)>;

// The edit step that drops the line, and the finish step that adds nothing.
inline void DropLine(std::string_view /*line*/, LineWriter& /*out*/) {}
inline void AddNothing(LineWriter& /*out*/) {}

// Copies the file at `src_path` into a file created afresh at `out_path`
// (CreateFreshFd with `mode`).  Each line that holds one of `markers` is
// handed to `edit`; every other line is copied unchanged, in large runs.
// `markers` is read afresh before each line, so `edit` may shrink it.  Then
// `finish` may add text at the end.  Returns 0 when everything reached
// `out_path` and it closed cleanly.  Returns -1 with errno set when `src_path`
// cannot be opened (nothing is created), when `out_path` cannot be created, or
// when a read or a write fails; in the last case `out_path` is removed again.
int WriteEditedCopy(const std::string& src_path, const std::string& out_path, mode_t mode,
                    const std::vector<std::string_view>& markers, const LineEdit& edit,
                    const FinishEdit& finish);

// Rewrites the file at `path` in one step: its lines go through `markers`,
// `edit` and `finish` as in WriteEditedCopy into "<path>.$$$" (created afresh
// with `mode`), which is forced to disk and renamed over `path`.  Returns 0,
// or -1 with errno set when `path` cannot be read or the temporary file cannot
// be created, written whole or renamed; then `path` is byte for byte as it was
// and no temporary file is left.
int RewriteFile(const std::string& path, mode_t mode, const std::vector<std::string_view>& markers,
                const LineEdit& edit, const FinishEdit& finish);

// Replaces the file at `path` in one step by `data`, through "<path>.$$$"
// the same way; the same results.
int ReplaceFile(const std::string& path, mode_t mode, std::string_view data);
