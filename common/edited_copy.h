// The one line-by-line copy that every file edit of the tools goes through.
#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <string_view>
#include <vector>

#include "line_stream.h"
#include "scratch_file.h"

// Copies the file at `src_path` into a file created afresh at `out_path`
// (CreateFreshFd with `mode`).  Each line that holds one of `markers`, its
// line feed included when it has one, is handed to edit(line, out), which
// writes whatever stays to the LineWriter `out`; every other line is copied
// unchanged, in large runs.  `markers` is read afresh before each line, so
// edit may shrink it.  Then finish(out) may add text at the end.  Returns 0 when
// everything reached `out_path` and it closed cleanly (forced to disk first
// when `sync`).  Returns -1 with errno set when `src_path` cannot be opened
// (nothing is created), when `out_path` cannot be created, or when a read or a
// write fails; in the last case `out_path` is removed again.
template <typename Edit, typename Finish>
int WriteEditedCopy(const std::string& src_path, const std::string& out_path, mode_t mode,
                    bool sync, const std::vector<std::string_view>& markers, Edit&& edit,
                    Finish&& finish) {
  LineReader in;
  if (!OpenLineReader(src_path, &in)) return -1;
  LineWriter out(-1);  // its buffer is had before anything is created
  int fd = CreateFreshFd(out_path, mode);
  if (fd < 0) return -1;
  out.fd = fd;
  std::string_view line;
  auto copy_run = [&out](std::string_view run) { WriteText(run, out); };
  while (out.error == 0 && ReadMarkedLine(in, markers, line, copy_run) > 0) edit(line, out);
  // A read failure ends the lines early; the copy would be cut, so it fails.
  int failure = in.error;
  if (failure == 0 && out.error == 0) finish(out);
  if (failure == 0 && FlushLineWriter(out) != 0) failure = errno;
  if (CloseFdChecked(fd, sync && failure == 0) != 0 && failure == 0) failure = errno;
  if (failure == 0) return 0;
  unlink(out_path.c_str());
  errno = failure;
  return -1;
}

// A finish step that adds nothing.
inline void AddNothing(LineWriter& /*out*/) {}

// An edit step that copies the line unchanged.
inline void CopyLine(std::string_view line, LineWriter& out) { WriteText(line, out); }

// No markers: every line is copied unchanged.
inline const std::vector<std::string_view> kNoMarkers;
