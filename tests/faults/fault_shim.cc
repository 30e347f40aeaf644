// A preloaded library that makes one chosen file call of a tool fail: the Nth
// write, flush, close, rename or fsync on a file under a given directory.
//
// Set by the test in the tool's environment:
//   CORVANE_FAULT_ROOT    only files under this directory count
//   CORVANE_FAULT_KIND    write (write, writev, and each fwrite or fputs that
//                         passes bytes on to the file because the stream's
//                         buffer cannot take them all), flush (fflush and
//                         fclose that pass buffered bytes on), close (close,
//                         fclose), rename (rename, renameat, renameat2) or
//                         fsync (fsync, fdatasync)
//   CORVANE_FAULT_AT      N: the Nth counted call of that kind fails
//   CORVANE_FAULT_ERRNO   the errno the failing call reports
//   CORVANE_FAULT_REPORT  a file that gets one line when the failure is made:
//                         the call, N, and "written" when it concerned data
//                         being written (every kind but a close of a file
//                         only read) or "read"
// Only the process that loaded the library counts: LD_PRELOAD is taken out of
// its environment at once, so the shells and commands it starts run plainly.
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio_ext.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

enum Kind { kNone, kWrite, kFlush, kClose, kRename, kFsync };

struct Settings {
  pid_t pid = 0;
  Kind kind = kNone;
  long at = 0;
  int error = EIO;
  char root[4096] = "";
  size_t root_length = 0;
  char report[4096] = "";
  long seen = 0;  // counted calls of `kind` so far
};
Settings settings;

Kind KindNamed(const char* name) {
  if (name == nullptr) return kNone;
  if (std::strcmp(name, "write") == 0) return kWrite;
  if (std::strcmp(name, "flush") == 0) return kFlush;
  if (std::strcmp(name, "close") == 0) return kClose;
  if (std::strcmp(name, "rename") == 0) return kRename;
  if (std::strcmp(name, "fsync") == 0) return kFsync;
  return kNone;
}

void CopySetting(const char* name, char* to, size_t size) {
  const char* value = std::getenv(name);
  if (value != nullptr && std::strlen(value) < size) std::strcpy(to, value);
}

__attribute__((constructor)) void LoadSettings() {
  settings.pid = getpid();
  settings.kind = KindNamed(std::getenv("CORVANE_FAULT_KIND"));
  const char* at = std::getenv("CORVANE_FAULT_AT");
  settings.at = at != nullptr ? std::atol(at) : 0;
  const char* error = std::getenv("CORVANE_FAULT_ERRNO");
  if (error != nullptr) settings.error = std::atoi(error);
  CopySetting("CORVANE_FAULT_ROOT", settings.root, sizeof settings.root);
  settings.root_length = std::strlen(settings.root);
  CopySetting("CORVANE_FAULT_REPORT", settings.report, sizeof settings.report);
  if (settings.root_length == 0) settings.kind = kNone;
  unsetenv("LD_PRELOAD");
}

// The next definition of `name` after this library, as a function pointer.
template <typename Function>
Function Next(const char* name) {
  void* symbol = dlsym(RTLD_NEXT, name);
  Function function;
  static_assert(sizeof function == sizeof symbol);
  std::memcpy(&function, &symbol, sizeof function);
  return function;
}
#define NEXT(name) static const auto real_##name = Next<decltype(&name)>(#name)

bool PathUnderRoot(const char* path) {
  if (path == nullptr) return false;
  char absolute[8192];
  if (path[0] != '/') {
    if (getcwd(absolute, sizeof absolute / 2) == nullptr) return false;
    std::strcat(absolute, "/");
    std::strncat(absolute, path, sizeof absolute / 2 - 2);
    path = absolute;
  }
  return std::strncmp(path, settings.root, settings.root_length) == 0 &&
         path[settings.root_length] == '/';
}

bool FdUnderRoot(int fd) {
  char link[64];
  char target[4096];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  ssize_t length = readlink(link, target, sizeof target - 1);
  if (length <= 0) return false;
  target[length] = '\0';
  return PathUnderRoot(target);
}

// A name relative to a directory descriptor (or to the working directory).
bool AtUnderRoot(int dir, const char* name) {
  if (name == nullptr) return false;
  if (name[0] == '/' || dir == AT_FDCWD) return PathUnderRoot(name);
  return FdUnderRoot(dir);
}

bool StreamUnderRoot(std::FILE* stream) { return stream != nullptr && FdUnderRoot(fileno(stream)); }

// Tells whether `fd` was opened for writing (a failed close of a file only
// read loses nothing).
bool OpenForWriting(int fd) {
  const int flags = fcntl(fd, F_GETFL);
  return flags >= 0 && (flags & O_ACCMODE) != O_RDONLY;
}

// Adds "<call> <N> written" or "<call> <N> read" to the report file: whether
// the failing call concerned data being written.
void Report(const char* call, bool written) {
  NEXT(write);
  NEXT(close);
  int fd = open(settings.report, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  char line[256];
  int length = std::snprintf(line, sizeof line, "%s %ld %s\n", call, settings.at,
                             written ? "written" : "read");
  if (length > 0) real_write(fd, line, static_cast<size_t>(length));
  real_close(fd);
}

// Tells whether writing `count` more bytes to `stream` makes the stream write
// to its file, as the C library's buffering does it: when the bytes do not
// fit into the room left in its buffer and there is something to pass on (a
// fresh stream takes less than a whole block into its new buffer).
bool ReachesFile(std::FILE* stream, size_t count) {
  const char* put = stream->_IO_write_ptr;
  const size_t room = stream->_IO_write_end > put ? stream->_IO_write_end - put : 0;
  const size_t held = put > stream->_IO_write_base ? put - stream->_IO_write_base : 0;
  if (count <= room) return false;
  if (held > 0 || room > 0) return true;
  size_t block = stream->_IO_buf_end - stream->_IO_buf_base;
  struct stat info;
  if (block == 0)
    block = fstat(fileno(stream), &info) == 0 && info.st_blksize > 0 ? info.st_blksize : BUFSIZ;
  return count >= block;
}

// Counts a call of `kind` on a file under the root and tells whether it is
// the one to fail; errno is then set to the chosen error.
bool Fails(Kind kind, bool under_root, const char* call, bool written = true) {
  if (kind != settings.kind || !under_root || getpid() != settings.pid) return false;
  if (++settings.seen != settings.at) return false;
  Report(call, written);
  errno = settings.error;
  return true;
}

// A stream that failed a write: its error flag is set as a failing write sets
// it, and the bytes it held are lost.
void FailStream(std::FILE* stream) {
  __fpurge(stream);
  stream->_flags |= _IO_ERR_SEEN;
}

}  // namespace

extern "C" {

ssize_t write(int fd, const void* data, size_t count) {
  NEXT(write);
  if (Fails(kWrite, FdUnderRoot(fd), "write")) return -1;
  return real_write(fd, data, count);
}

ssize_t writev(int fd, const struct iovec* vector, int count) {
  NEXT(writev);
  if (Fails(kWrite, FdUnderRoot(fd), "writev")) return -1;
  return real_writev(fd, vector, count);
}

size_t fwrite(const void* data, size_t size, size_t count, std::FILE* stream) {
  NEXT(fwrite);
  if (Fails(kWrite, StreamUnderRoot(stream) && ReachesFile(stream, size * count), "fwrite")) {
    const int error = errno;
    FailStream(stream);
    errno = error;
    return 0;
  }
  return real_fwrite(data, size, count, stream);
}

int fputs(const char* text, std::FILE* stream) {
  NEXT(fputs);
  if (Fails(kWrite, StreamUnderRoot(stream) && ReachesFile(stream, std::strlen(text)), "fputs")) {
    const int error = errno;
    FailStream(stream);
    errno = error;
    return EOF;
  }
  return real_fputs(text, stream);
}

int fflush(std::FILE* stream) {
  NEXT(fflush);
  if (Fails(kFlush, StreamUnderRoot(stream) && __fpending(stream) > 0, "fflush")) {
    const int error = errno;
    FailStream(stream);
    errno = error;
    return EOF;
  }
  return real_fflush(stream);
}

int fclose(std::FILE* stream) {
  NEXT(fclose);
  const bool under_root = StreamUnderRoot(stream);
  bool failed = false;
  if (Fails(kFlush, under_root && __fpending(stream) > 0, "fclose-flush")) {
    __fpurge(stream);
    failed = true;
  } else if (Fails(kClose, under_root, "fclose", under_root && OpenForWriting(fileno(stream)))) {
    failed = true;
  }
  if (!failed) return real_fclose(stream);
  // The stream is closed either way, as after a real failure.
  const int error = errno;
  real_fclose(stream);
  errno = error;
  return EOF;
}

int close(int fd) {
  NEXT(close);
  const bool under_root = FdUnderRoot(fd);
  if (!Fails(kClose, under_root, "close", under_root && OpenForWriting(fd))) return real_close(fd);
  const int error = errno;
  real_close(fd);
  errno = error;
  return -1;
}

int rename(const char* from, const char* to) noexcept {
  NEXT(rename);
  if (Fails(kRename, PathUnderRoot(from) || PathUnderRoot(to), "rename")) return -1;
  return real_rename(from, to);
}

int renameat(int from_dir, const char* from, int to_dir, const char* to) noexcept {
  NEXT(renameat);
  const bool under_root = AtUnderRoot(from_dir, from) || AtUnderRoot(to_dir, to);
  if (Fails(kRename, under_root, "renameat")) return -1;
  return real_renameat(from_dir, from, to_dir, to);
}

int renameat2(int from_dir, const char* from, int to_dir, const char* to,
              unsigned int flags) noexcept {
  NEXT(renameat2);
  const bool under_root = AtUnderRoot(from_dir, from) || AtUnderRoot(to_dir, to);
  if (Fails(kRename, under_root, "renameat2")) return -1;
  return real_renameat2(from_dir, from, to_dir, to, flags);
}

int fsync(int fd) {
  NEXT(fsync);
  if (Fails(kFsync, FdUnderRoot(fd), "fsync")) return -1;
  return real_fsync(fd);
}

int fdatasync(int fd) {
  NEXT(fdatasync);
  if (Fails(kFsync, FdUnderRoot(fd), "fdatasync")) return -1;
  return real_fdatasync(fd);
}

}  // extern "C"
