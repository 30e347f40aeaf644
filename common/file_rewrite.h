// Writing files safely: fresh files at fixed names, and the line-by-line
// edits and replacements that every file change of the tools goes through.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <string_view>

#include "line_stream.h"

// Removes whatever stands at `path` (a file, a link, a FIFO, an empty
// directory) and creates a new regular file there exclusively, never following
// a symbolic link (O_CREAT|O_EXCL|O_NOFOLLOW), with exactly `mode` whatever
// the umask.  Returns the descriptor opened for writing (close-on-exec), or -1
// with errno set when the name cannot be cleared or the file cannot be created.
int CreateFreshFd(const std::string& path, mode_t mode);

// edit(line, out) is handed every line of the file in turn (its line ending
// included when it has one) and writes whatever stays of it; finish(out)
// adds text at the end.
using LineEdit = std::function<void(std::string_view line, LineWriter& out)>;
using FinishEdit = std::function<void(LineWriter& out)>;

// The finish step that adds nothing.
inline void AddNothing(LineWriter& /*out*/) {}

// Copies the file at `src_path` through `edit` and `finish` into a file
// created afresh at `out_path` (CreateFreshFd with `mode`).  Returns 0 when
// everything reached `out_path` and it closed cleanly.  Returns -1 with errno
// set when `src_path` cannot be opened (nothing is created), when `out_path`
// cannot be created, or when a read or a write fails; in the last case
// `out_path` is removed again, as it is when `edit` or `finish` throws.
int WriteEditedCopy(const std::string& src_path, const std::string& out_path, mode_t mode,
                    const LineEdit& edit, const FinishEdit& finish);

// Whether passing the file at `path` through `edit` and `finish` would change
// a byte of it; nothing is written.  Returns 1 when it would, 0 when the file
// already is what the edit makes of it, -1 (errno set) when it cannot be read.
int EditChangesFile(const std::string& path, const LineEdit& edit, const FinishEdit& finish);

// Rewrites the file at `path` in one step: its lines go through `edit` and
// `finish` as in WriteEditedCopy into "<path>.$$$" (created afresh with
// `mode`), which is forced to disk and renamed over `path`.  Returns 0, or -1
// with errno set when `path` cannot be read or the temporary file cannot be
// created, written whole or renamed; then `path` is byte for byte as it was
// and no temporary file is left.
int RewriteFile(const std::string& path, mode_t mode, const LineEdit& edit,
                const FinishEdit& finish);

// Replaces the file at `path` in one step by `data`, through "<path>.$$$"
// the same way; the same results.
int ReplaceFile(const std::string& path, mode_t mode, std::string_view data);

// New content for a file, written beside it and forced to disk, that
// replaces the file in one step only when committed.  The temporary file is
// removed when the record goes out of scope uncommitted.
struct StagedFile {
  std::string path;  // the file to replace
  std::string temp;  // "<path>.$$$", or "" when there is nothing to replace
  StagedFile() = default;
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;
  ~StagedFile();
};

// Stages `data` for `path` with `mode`.  When `path` already holds exactly
// `data`, nothing is written and the commit does nothing.  Returns 0, or -1
// (errno set) when the temporary file cannot be created or written whole;
// then nothing is left of it.
int StageFile(const std::string& path, mode_t mode, std::string_view data, StagedFile* staged);

// Renames the staged content over its file.  Returns 0, or -1 (errno set)
// when the rename fails; the file is then as it was.
int CommitStagedFile(StagedFile* staged);
