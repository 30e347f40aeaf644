// Writing files safely: fresh files at fixed names, edits and replacements.
#include "file_rewrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

int CreateFreshFd(const std::string& path, mode_t mode) {
  if (unlink(path.c_str()) != 0 && errno != ENOENT) {
    if (errno != EISDIR || rmdir(path.c_str()) != 0) return -1;
  }
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  if (fd < 0) return -1;
  if (fchmod(fd, mode) != 0) {
    const int saved = errno;
    close(fd);
    unlink(path.c_str());
    errno = saved;
    return -1;
  }
  return fd;
}

namespace {

// A fresh file being written: closed on leaving scope, and removed unless kept.
struct FreshFile {
  std::string path;
  int fd = -1;
  bool kept = false;

  explicit FreshFile(std::string name) : path(std::move(name)) {}
  FreshFile(const FreshFile&) = delete;
  FreshFile& operator=(const FreshFile&) = delete;
  ~FreshFile() {
    const int saved = errno;  // the failure being reported, not the clean-up's
    if (fd >= 0) close(fd);
    if (!kept) unlink(path.c_str());
    errno = saved;
  }
};

// Fills a file: writes to `out` and returns 0, or the errno of a failure that
// is not a write's (a write failure shows in out.error).
using Fill = std::function<int(LineWriter& out)>;

// Creates `path` afresh and fills it, forced to disk when `sync`.  Returns 0,
// or -1 with errno set; a file not written whole is removed, also when `fill` throws.
int WriteFresh(const std::string& path, mode_t mode, bool sync, const Fill& fill) {
  LineWriter out(-1);  // allocates before the file exists
  FreshFile file(path);
  file.fd = CreateFreshFd(path, mode);
  if (file.fd < 0) {
    file.kept = true;  // nothing of ours to remove
    return -1;
  }
  out.fd = file.fd;
  int failure = fill(out);
  if (failure == 0 && FlushLineWriter(out) != 0) failure = errno;
  if (failure == 0 && sync && fsync(file.fd) != 0) failure = errno;
  const int fd = file.fd;
  file.fd = -1;
  if (close(fd) != 0 && failure == 0) failure = errno;
  if (failure != 0) {
    errno = failure;
    return -1;
  }
  file.kept = true;
  return 0;
}

// Writes "<path>.$$$" with `fill`, forced to disk, as the staged content of `path`.
int StageFill(const std::string& path, mode_t mode, const Fill& fill, StagedFile* staged) {
  staged->path = path;
  if (WriteFresh(path + ".$$$", mode, true, fill) != 0) return -1;
  staged->temp = path + ".$$$";
  return 0;
}

// Stages and commits at once, so that there is no moment without the file.
int ReplaceThroughTemp(const std::string& path, mode_t mode, const Fill& fill) {
  StagedFile staged;
  return StageFill(path, mode, fill, &staged) == 0 ? CommitStagedFile(&staged) : -1;
}

Fill WholeText(std::string_view data) {
  return [data](LineWriter& out) {
    WriteText(data, out);
    return 0;
  };
}

// A read failure fails the fill, since the copy would be cut short.
Fill EditedCopy(LineReader& in, const LineEdit& edit, const FinishEdit& finish) {
  return [&in, &edit, &finish](LineWriter& out) {
    std::string_view line;
    while (out.error == 0 && fread_line_string(line, in) > 0) edit(line, out);
    if (in.error == 0 && out.error == 0) finish(out);
    return in.error;
  };
}

}  // namespace

int WriteEditedCopy(const std::string& src_path, const std::string& out_path, mode_t mode,
                    const LineEdit& edit, const FinishEdit& finish) {
  LineReader in;
  if (!OpenLineReader(src_path, &in)) return -1;
  return WriteFresh(out_path, mode, false, EditedCopy(in, edit, finish));
}

int EditChangesFile(const std::string& path, const LineEdit& edit, const FinishEdit& finish) {
  // What the edit made of the lines so far and what they were, both less
  // their common start: the edit keeps a file when nothing is left over.
  std::string made, was;
  LineWriter out(-1);
  out.capture = &made;
  auto differs = [&made, &was] {
    const size_t same = static_cast<size_t>(std::ranges::mismatch(made, was).in1 - made.begin());
    if (same < made.size() && same < was.size()) return true;
    made.erase(0, same);
    was.erase(0, same);
    return false;
  };
  bool changed = false;
  if (!ForEachLine(path, [&](std::string_view line) {
        was.append(line);
        edit(line, out);
        return !(changed = differs());
      })) {
    return -1;
  }
  if (!changed) finish(out);
  return changed || differs() || made != was ? 1 : 0;
}

int RewriteFile(const std::string& path, mode_t mode, const LineEdit& edit,
                const FinishEdit& finish) {
  LineReader in;
  if (!OpenLineReader(path, &in)) return -1;
  return ReplaceThroughTemp(path, mode, EditedCopy(in, edit, finish));
}

int ReplaceFile(const std::string& path, mode_t mode, std::string_view data) {
  return ReplaceThroughTemp(path, mode, WholeText(data));
}

namespace {

// Whether the file at `path` is exactly `data`; false when it cannot be read.
bool HoldsExactly(const std::string& path, std::string_view data) {
  bool same = true;
  return ForEachLine(path,
                     [&](std::string_view line) {
                       same = data.starts_with(line);
                       if (same) data.remove_prefix(line.size());
                       return same;
                     }) &&
         same && data.empty();
}

}  // namespace

StagedFile::~StagedFile() {
  const int saved = errno;
  if (!temp.empty()) unlink(temp.c_str());
  errno = saved;
}

int StageFile(const std::string& path, mode_t mode, std::string_view data, StagedFile* staged) {
  staged->path = path;
  if (HoldsExactly(path, data)) return 0;
  return StageFill(path, mode, WholeText(data), staged);
}

int CommitStagedFile(StagedFile* staged) {
  if (staged->temp.empty()) return 0;
  if (std::rename(staged->temp.c_str(), staged->path.c_str()) != 0) return -1;
  staged->temp.clear();
  return 0;
}
