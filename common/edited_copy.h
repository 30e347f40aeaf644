// The one line-by-line copy that every file edit of the tools goes through.
#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>

#include "paper_size_tool.h"
#include "scratch_file.h"
#include "stdio_file.h"

// Copies the file at `src_path` into a file created afresh at `out_path`
// (CreateFreshFile with `mode`).  Each line, its line feed included when it
// has one, is handed to edit(line, out), which writes whatever stays; then
// finish(out) may add text at the end.  Returns 0 when everything reached
// `out_path` and it closed cleanly (forced to disk first when `sync`).
// Returns -1 with errno set when `src_path` cannot be opened (nothing is
// created), when `out_path` cannot be created, or when a read or a write
// fails; in the last case `out_path` is removed again.
template <typename Edit, typename Finish>
int WriteEditedCopy(const std::string& src_path, const std::string& out_path, mode_t mode,
                    bool sync, Edit&& edit, Finish&& finish) {
  StdioFile in(std::fopen(src_path.c_str(), "rb"));
  if (!in) return -1;
  std::FILE* out = CreateFreshFile(out_path, mode);
  if (out == nullptr) return -1;
  LineBuffer buffer;
  int64_t count;
  while ((count = fread_line_string(buffer, in.get())) > 0 && !std::ferror(out)) {
    edit(std::string_view(buffer.data, static_cast<size_t>(count)), out);
  }
  // Reading stops early on a read error or when a line cannot be held in
  // memory; either way the copy would be cut, so only a true end of file counts.
  int read_failure = 0;
  if (!std::feof(in.get())) read_failure = errno != 0 ? errno : EIO;
  in.reset();
  if (read_failure == 0) finish(out);
  if (CloseChecked(out, sync) == 0 && read_failure == 0) return 0;
  int saved = read_failure != 0 ? read_failure : errno;
  unlink(out_path.c_str());
  errno = saved;
  return -1;
}

// A finish step that adds nothing.
inline void AddNothing(std::FILE* /*out*/) {}
