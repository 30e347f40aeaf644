// Writing files safely: fresh files, line-by-line edits and one-step replacements.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <string_view>

#include "line_stream.h"

// Removes whatever is at `path` (file, link, FIFO, empty directory) and creates
// a regular file there with O_CREAT|O_EXCL|O_NOFOLLOW and exactly `mode`,
// whatever the umask.  Returns the descriptor (write-only, close-on-exec), or
// -1 with errno set.
int CreateFreshFd(const std::string& path, mode_t mode);

// edit(line, out) gets each line with its line ending, if any, and writes what
// stays of it; finish(out) appends at the end.
using LineEdit = std::function<void(std::string_view line, LineWriter& out)>;
using FinishEdit = std::function<void(LineWriter& out)>;

inline void AddNothing(LineWriter& /*out*/) {}

// Copies `src_path` through `edit` and `finish` into a fresh file at `out_path`
// (CreateFreshFd with `mode`).  Returns 0, or -1 with errno set: nothing is
// created when `src_path` cannot be opened, and a partly written `out_path` is
// removed, also when `edit` or `finish` throws.
int WriteEditedCopy(const std::string& src_path, const std::string& out_path, mode_t mode,
                    const LineEdit& edit, const FinishEdit& finish);

// Returns 1 when `edit` and `finish` would change a byte of `path`, 0 when not,
// -1 (errno set) when it cannot be read.  Writes nothing.
int EditChangesFile(const std::string& path, const LineEdit& edit, const FinishEdit& finish);

// Rewrites `path` in one step: the edited lines go to a fresh "<path>.$$$" with
// `mode`, which is forced to disk and renamed over `path`.  Returns 0, or -1
// with errno set; then `path` is unchanged and no temporary file is left.
int RewriteFile(const std::string& path, mode_t mode, const LineEdit& edit,
                const FinishEdit& finish);

// The same with `data` as the new content.
int ReplaceFile(const std::string& path, mode_t mode, std::string_view data);

// New content written beside a file and forced to disk; it replaces the file
// in one step when committed and is removed when it goes out of scope uncommitted.
struct StagedFile {
  std::string path;  // the file to replace
  std::string temp;  // "<path>.$$$", or "" when there is nothing to replace
  StagedFile() = default;
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;
  ~StagedFile();
};

// Stages `data` for `path` with `mode`; when `path` already holds `data`,
// nothing is written and the commit does nothing.  Returns 0, or -1 (errno set)
// with no temporary file left.
int StageFile(const std::string& path, mode_t mode, std::string_view data, StagedFile* staged);

// Renames the staged content over its file.  Returns 0, or -1 (errno set)
// when the rename fails; the file is then as it was.
int CommitStagedFile(StagedFile* staged);
