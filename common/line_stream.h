// The streams of every file the tools read or write line by line: a reader
// that hands out each line as a view into its buffer, and a writer that
// gathers output and writes it in large pieces.  Both work on plain file
// descriptors, set no limit on line length, and keep the errno of a failure.
#pragma once

#include <cstdint>
#include <functional>
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
  bool cut = false;     // ReadLineStart handed out the start of a line whose rest is unread

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
// 0 at the end of the file, and 0 from the first failed read on (in.error is
// then set), so that a cut line never passes for a whole one.
int64_t fread_line_string(std::string_view& line, LineReader& in);

// The most of a line that ReadLineStart hands out.
inline constexpr size_t kLineStartLimit = size_t{64} * 1024;

// Reads the next line of `in` for a reader that needs only the start of each
// line, in memory that does not grow with the file: a carriage return, a line
// feed, or the two together end a line, and `line` is pointed at its first
// kLineStartLimit bytes at most, without its line end, inside the reader's
// buffer and valid until the next read.  The rest of a longer line is passed
// over, and not kept, by the next call.  Returns false at the end of the
// file; a failed read counts as the end of the file (in.error is set), and the
// bytes of the line read before it are handed out as its last line.  Not to be
// mixed with fread_line_string on one reader.
bool ReadLineStart(std::string_view& line, LineReader& in);

// Hands each line of the file at `path` (as fread_line_string reads it) to
// `each` until `each` returns false or the file ends.  Returns false (errno
// set) when the file cannot be opened or a read fails.
bool ForEachLine(const std::string& path, const std::function<bool(std::string_view)>& each);

// Gathers output for one descriptor, which it does not own, or appends it
// to `capture` when that is set (and then writes nothing).
struct LineWriter {
  int fd = -1;
  std::vector<char> buffer;
  size_t used = 0;
  int error = 0;  // errno of the first failed write; nothing is written after it
  std::string* capture = nullptr;

  explicit LineWriter(int descriptor);
};

// Appends exactly `count` bytes of `data` to `out`, whatever they are, and
// returns `count`; 0 or less writes nothing.  A failed write shows in
// out.error.
int64_t fwrite_line_string(const char* data, int64_t count, LineWriter& out);

// Appends all of `text` with fwrite_line_string.
inline void WriteText(std::string_view text, LineWriter& out) {
  fwrite_line_string(text.data(), static_cast<int64_t>(text.size()), out);
}

// Writes out what is gathered.  Returns 0, or -1 with errno set to out.error.
int FlushLineWriter(LineWriter& out);

// The line ending of `line`: "\r\n", "\n", or "" for a last line without one.
std::string_view LineEnding(std::string_view line);
