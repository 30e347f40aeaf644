// The streams of the line-by-line file edits.
#include "line_stream.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <new>

#include "paper_size_tool.h"

namespace {

constexpr size_t kBlockSize = 128 * 1024;

// Makes room behind the unread bytes for another read: moves them to the
// front, and grows the buffer when they fill it (a line longer than it).
bool MakeRoom(LineReader& in) {
  if (in.begin > 0) {
    std::memmove(in.buffer.data(), in.buffer.data() + in.begin, in.end - in.begin);
    in.end -= in.begin;
    in.begin = 0;
  }
  if (in.buffer.size() - in.end >= kBlockSize / 2) return true;
  try {
    in.buffer.resize(in.buffer.size() < kBlockSize ? kBlockSize : in.buffer.size() * 2);
  } catch (const std::bad_alloc&) {
    in.error = ENOMEM;
    return false;
  }
  return true;
}

// Reads more of the file behind the unread bytes.  Returns false at the end
// of the file or on a failure.
bool Refill(LineReader& in) {
  if (in.at_end || in.error != 0 || !MakeRoom(in)) return false;
  for (;;) {
    ssize_t got = read(in.fd, in.buffer.data() + in.end, in.buffer.size() - in.end);
    if (got > 0) {
      in.end += static_cast<size_t>(got);
      return true;
    }
    if (got == 0) {
      in.at_end = true;
      return false;
    }
    if (errno != EINTR) {
      in.error = errno;
      return false;
    }
  }
}

// Writes `count` bytes straight to the descriptor, completing partial writes.
void WriteAll(const char* data, size_t count, LineWriter& out) {
  while (count > 0 && out.error == 0) {
    ssize_t written = write(out.fd, data, count);
    if (written > 0) {
      data += written;
      count -= static_cast<size_t>(written);
    } else if (written == 0 || errno != EINTR) {
      out.error = written == 0 ? EIO : errno;
    }
  }
}

}  // namespace

LineReader::~LineReader() {
  if (fd >= 0) close(fd);
}

bool OpenLineReader(const std::string& path, LineReader* reader) {
  reader->fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  return reader->fd >= 0;
}

int64_t fread_line_string(std::string_view& line, LineReader& in) {
  TraceEnter(kTraceSource, "fread_line_string");
  size_t searched = in.begin;
  for (;;) {
    const char* start = in.buffer.data() + in.begin;
    const void* feed = in.end > searched
                           ? std::memchr(in.buffer.data() + searched, '\n', in.end - searched)
                           : nullptr;
    if (feed != nullptr) {
      size_t length = static_cast<size_t>(static_cast<const char*>(feed) - start) + 1;
      line = std::string_view(start, length);
      in.begin += length;
      return static_cast<int64_t>(length);
    }
    size_t pending = in.end - in.begin;
    if (!Refill(in)) {
      // The last line may end without a line feed; after a failure nothing
      // more is handed out, so a cut line never passes for a whole one.
      if (in.error != 0 || pending == 0) {
        line = std::string_view();
        return 0;
      }
      line = std::string_view(in.buffer.data() + in.begin, pending);
      in.begin = in.end;
      return static_cast<int64_t>(pending);
    }
    searched = in.begin + pending;  // Refill moved the unread bytes to the front
  }
}

LineWriter::LineWriter(int descriptor) : fd(descriptor), buffer(kBlockSize) {}

void WriteLineRun(const char* data, size_t count, LineWriter& out) {
  TraceEnter(kTraceSource, "fwrite_line_string");
  if (out.error != 0) return;
  if (out.used > 0) {
    WriteAll(out.buffer.data(), out.used, out);
    out.used = 0;
  }
  if (count >= out.buffer.size()) {
    WriteAll(data, count, out);
  } else {
    std::memcpy(out.buffer.data(), data, count);
    out.used = count;
  }
}

int FlushLineWriter(LineWriter& out) {
  if (out.used > 0 && out.error == 0) WriteAll(out.buffer.data(), out.used, out);
  out.used = 0;
  if (out.error == 0) return 0;
  errno = out.error;
  return -1;
}
