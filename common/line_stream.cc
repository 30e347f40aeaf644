// The streams of the line-by-line file edits.
#include "line_stream.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>

#include "paper_size_tool.h"

namespace {

constexpr size_t kBlockSize = size_t{128} * 1024;

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

}  // namespace

bool RefillLineReader(LineReader& in) {
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

namespace {

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
  size_t searched = in.begin + in.clean;
  in.clean = 0;
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
    if (!RefillLineReader(in)) {
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

size_t FindFirstMarker(std::string_view text, const std::vector<std::string_view>& markers) {
  size_t first = text.size();
  for (std::string_view marker : markers) {
    if (marker.empty()) continue;
    // Only an occurrence that begins before the earliest one so far matters.
    const size_t reach =
        first == text.size() ? first : std::min(text.size(), first + marker.size() - 1);
    if (reach < marker.size()) continue;  // also keeps an empty buffer's null data away
    // memmem searches for the whole marker at once, which is far faster than
    // looking for its first byte and comparing.
    const void* found = memmem(text.data(), reach, marker.data(), marker.size());
    if (found != nullptr)
      first = static_cast<size_t>(static_cast<const char*>(found) - text.data());
  }
  return first;
}

int FlushLineWriter(LineWriter& out) {
  if (out.used > 0 && out.error == 0) WriteAll(out.buffer.data(), out.used, out);
  out.used = 0;
  if (out.error == 0) return 0;
  errno = out.error;
  return -1;
}
