// The streams of every file the tools read or write line by line.
#include "line_stream.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "paper_size_tool.h"

namespace {

constexpr size_t kBlockSize = size_t{128} * 1024;
static_assert(kLineStartLimit <= kBlockSize / 2, "ReadLineStart keeps to one block");

// Reads more behind the unread bytes, moved to the front first; the buffer grows
// for a line longer than it.  False at the end or on a failure (in.error set).
bool Refill(LineReader& in) {
  if (in.at_end || in.error != 0) return false;
  if (in.begin > 0) {
    std::memmove(in.buffer.data(), in.buffer.data() + in.begin, in.end - in.begin);
    in.end -= in.begin;
    in.begin = 0;
  }
  if (in.buffer.size() - in.end < kBlockSize / 2) {
    try {
      in.buffer.resize(in.buffer.size() < kBlockSize ? kBlockSize : in.buffer.size() * 2);
    } catch (const std::bad_alloc&) {
      in.error = ENOMEM;
      return false;
    }
  }
  for (;;) {
    const ssize_t got = read(in.fd, in.buffer.data() + in.end, in.buffer.size() - in.end);
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

void WriteAll(const char* data, size_t count, LineWriter& out) {
  while (count > 0 && out.error == 0) {
    const ssize_t written = write(out.fd, data, count);
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
  line = std::string_view();
  size_t searched = in.begin;  // no line feed before this offset
  for (;;) {
    const void* feed = in.end > searched
                           ? std::memchr(in.buffer.data() + searched, '\n', in.end - searched)
                           : nullptr;
    if (feed != nullptr) {
      const size_t stop = static_cast<size_t>(static_cast<const char*>(feed) - in.buffer.data());
      line = std::string_view(in.buffer.data() + in.begin, stop + 1 - in.begin);
      in.begin = stop + 1;
      return static_cast<int64_t>(line.size());
    }
    const size_t pending = in.end - in.begin;
    if (!Refill(in)) {
      if (in.error != 0 || pending == 0) return 0;
      line = std::string_view(in.buffer.data() + in.begin,
                              pending);  // a last line without a line feed
      in.begin = in.end;
      return static_cast<int64_t>(pending);
    }
    searched = in.begin + pending;  // the refill moved the unread bytes to the front
  }
}

bool ForEachLine(const std::string& path, const std::function<bool(std::string_view)>& each) {
  LineReader in;
  if (!OpenLineReader(path, &in)) return false;
  std::string_view line;
  while (fread_line_string(line, in) > 0 && each(line)) {
  }
  errno = in.error;
  return in.error == 0;
}

namespace {

// At the end of the input: the unended last line, unless it is a cut line's rest.
bool TakeLastLine(std::string_view& line, LineReader& in) {
  const bool last = !in.cut && in.end > in.begin;
  if (last) line = std::string_view(in.buffer.data() + in.begin, in.end - in.begin);
  in.begin = in.end;
  in.cut = false;
  return last;
}

}  // namespace

bool ReadLineStart(std::string_view& line, LineReader& in) {
  line = std::string_view();
  size_t searched = in.begin;  // no line end before this offset
  for (;;) {
    const char* data = in.buffer.data();
    const size_t window = in.cut ? in.end : std::min(in.end, in.begin + kLineStartLimit);
    size_t stop = searched;
    while (stop < window && data[stop] != '\n' && data[stop] != '\r') ++stop;
    // A carriage return as the last byte read may be the first of a CR LF pair.
    const bool finished = in.at_end || in.error != 0;
    if (stop < window && (data[stop] == '\n' || stop + 1 < in.end || finished)) {
      const bool pair = data[stop] == '\r' && stop + 1 < in.end && data[stop + 1] == '\n';
      const size_t next = stop + (pair ? 2 : 1);
      if (!in.cut) {
        line = std::string_view(data + in.begin, stop - in.begin);
        in.begin = next;
        return true;
      }
      in.cut = false;
      in.begin = searched = next;
      continue;
    }
    if (!in.cut && stop == in.begin + kLineStartLimit) {
      line = std::string_view(data + in.begin, kLineStartLimit);
      in.begin = stop;
      in.cut = true;
      return true;
    }
    // At most kLineStartLimit unread bytes are kept (none of a cut line's
    // rest), so the refill never grows the buffer beyond its first block.
    if (in.cut) in.begin = stop;
    const size_t known = stop - in.begin;
    const bool refilled = Refill(in);
    searched = in.begin + known;
    if (!refilled && searched == in.end) return TakeLastLine(line, in);
  }
}

LineWriter::LineWriter(int descriptor) : fd(descriptor), buffer(kBlockSize) {}

int64_t fwrite_line_string(const char* data, int64_t count, LineWriter& out) {
  TraceEnter(kTraceSource, "fwrite_line_string");
  if (count <= 0 || out.error != 0) return count;
  if (out.capture != nullptr) {
    out.capture->append(data, static_cast<size_t>(count));
    return count;
  }
  const auto size = static_cast<size_t>(count);
  if (out.buffer.size() - out.used < size) {
    WriteAll(out.buffer.data(), out.used, out);
    out.used = 0;
    if (size >= out.buffer.size()) {
      WriteAll(data, size, out);
      return count;
    }
  }
  std::memcpy(out.buffer.data() + out.used, data, size);
  out.used += size;
  return count;
}

int FlushLineWriter(LineWriter& out) {
  if (out.used > 0 && out.error == 0) WriteAll(out.buffer.data(), out.used, out);
  out.used = 0;
  if (out.error == 0) return 0;
  errno = out.error;
  return -1;
}

std::string_view LineEnding(std::string_view line) {
  if (line.ends_with("\r\n")) return "\r\n";
  return line.ends_with('\n') ? "\n" : "";
}
