// Writing files safely: fresh files at fixed names, edits and replacements.
#include "file_rewrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

int CreateFreshFd(const std::string& path, mode_t mode) {
  if (unlink(path.c_str()) != 0 && errno != ENOENT) {
    if (errno != EISDIR || rmdir(path.c_str()) != 0) return -1;
  }
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  if (fd < 0) return -1;
  if (fchmod(fd, mode) != 0) {
    int saved = errno;
    close(fd);
    unlink(path.c_str());
    errno = saved;
    return -1;
  }
  return fd;
}

int CloseFdChecked(int fd, bool sync) {
  int failure = 0;
  if (sync && fsync(fd) != 0) failure = errno;
  if (close(fd) != 0 && failure == 0) failure = errno;
  if (failure == 0) return 0;
  errno = failure;
  return -1;
}

namespace {

// Fills a file: writes to `out` and returns 0, or the errno of a failure that
// is not a write's (a write failure shows in out.error).
using Fill = std::function<int(LineWriter& out)>;

// Creates `path` afresh with `mode`, lets `fill` write it, and flushes and
// closes it, forced to disk when `sync`.  Returns 0, or -1 with errno set; a
// file that was created but not written whole is removed again.
int WriteFresh(const std::string& path, mode_t mode, bool sync, const Fill& fill) {
  LineWriter out(-1);  // its buffer is had before anything is created
  const int fd = CreateFreshFd(path, mode);
  if (fd < 0) return -1;
  out.fd = fd;
  int failure = fill(out);
  if (failure == 0 && FlushLineWriter(out) != 0) failure = errno;
  if (CloseFdChecked(fd, sync && failure == 0) != 0 && failure == 0) failure = errno;
  if (failure == 0) return 0;
  unlink(path.c_str());
  errno = failure;
  return -1;
}

// Writes "<path>.$$$" with `fill`, forced to disk, and renames it over `path`:
// there is no moment without the file.
int ReplaceThroughTemp(const std::string& path, mode_t mode, const Fill& fill) {
  const std::string temp = path + ".$$$";
  if (WriteFresh(temp, mode, true, fill) != 0) return -1;
  if (std::rename(temp.c_str(), path.c_str()) == 0) return 0;
  const int saved = errno;
  unlink(temp.c_str());
  errno = saved;
  return -1;
}

// A fill that copies `in` with the edit steps; a read failure fails it, since
// the copy would be cut.
Fill EditedCopy(LineReader& in, const std::vector<std::string_view>& markers, const LineEdit& edit,
                const FinishEdit& finish) {
  return [&in, &markers, &edit, &finish](LineWriter& out) {
    std::string_view line;
    auto copy_run = [&out](std::string_view run) { WriteText(run, out); };
    while (out.error == 0 && ReadMarkedLine(in, markers, line, copy_run) > 0) edit(line, out);
    if (in.error == 0 && out.error == 0) finish(out);
    return in.error;
  };
}

}  // namespace

int WriteEditedCopy(const std::string& src_path, const std::string& out_path, mode_t mode,
                    const std::vector<std::string_view>& markers, const LineEdit& edit,
                    const FinishEdit& finish) {
  LineReader in;
  if (!OpenLineReader(src_path, &in)) return -1;
  return WriteFresh(out_path, mode, false, EditedCopy(in, markers, edit, finish));
}

int RewriteFile(const std::string& path, mode_t mode, const std::vector<std::string_view>& markers,
                const LineEdit& edit, const FinishEdit& finish) {
  LineReader in;
  if (!OpenLineReader(path, &in)) return -1;
  return ReplaceThroughTemp(path, mode, EditedCopy(in, markers, edit, finish));
}

int ReplaceFile(const std::string& path, mode_t mode, std::string_view data) {
  return ReplaceThroughTemp(path, mode, [data](LineWriter& out) {
    WriteText(data, out);
    return 0;
  });
}
