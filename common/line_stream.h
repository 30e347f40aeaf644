// The streams of the line-by-line file edits: a reader that hands out each
// line as a view into one large buffer, and a writer that gathers output and
// writes it in large pieces.  Both work on plain file descriptors, keep no
// limit on line length, and keep the errno of a failure instead of losing it.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

// Reads a file line by line.  Owns its descriptor.
struct LineReader {
  int fd = -1;
  std::vector<char> buffer;
  size_t begin = 0;     // first byte not yet handed out
  size_t end = 0;       // end of the bytes read so far
  bool at_end = false;  // the file has been read to its end
  int error = 0;        // errno of a failed read (ENOMEM for a line too long to hold)

  LineReader() = default;
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;
  ~LineReader();
};

// Opens `path` for reading into `reader`.  Returns false with errno set when
// it cannot be opened.
bool OpenLineReader(const std::string& path, LineReader* reader);

// Reads the next line of `in` (the bytes up to and including the next line
// feed, or up to the end of the file) and points `line` at it inside the
// reader's buffer, valid until the next read.  Returns the number of bytes;
// 0 at the end of the file, or when reading failed (in.error is then set).
int64_t fread_line_string(std::string_view& line, LineReader& in);

// Gathers output for one descriptor, which it does not own.
struct LineWriter {
  int fd = -1;
  std::vector<char> buffer;
  size_t used = 0;
  int error = 0;  // errno of the first failed write; nothing is written after it

  explicit LineWriter(int descriptor);
};

// Writes out a run that does not fit the buffer; used by fwrite_line_string.
void WriteLineRun(const char* data, size_t count, LineWriter& out);

// Appends exactly `count` bytes of `data` to `out` and returns `count`; 0 or
// less writes nothing.  A failed write shows in out.error.
inline int64_t fwrite_line_string(const char* data, int64_t count, LineWriter& out) {
  if (count <= 0) return count;
  const size_t size = static_cast<size_t>(count);
  if (out.buffer.size() - out.used >= size) {
    std::memcpy(out.buffer.data() + out.used, data, size);
    out.used += size;
  } else {
    WriteLineRun(data, size, out);
  }
  return count;
}

// Appends all of `text` with fwrite_line_string.
inline void WriteText(std::string_view text, LineWriter& out) {
  fwrite_line_string(text.data(), static_cast<int64_t>(text.size()), out);
}

// Writes out what is gathered.  Returns 0, or -1 with errno set to out.error.
int FlushLineWriter(LineWriter& out);
