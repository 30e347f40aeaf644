// Line reading and buffered writing on plain descriptors, with no line-length limit.
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

// Opens `path` into `reader`; false with errno set when it cannot be opened.
bool OpenLineReader(const std::string& path, LineReader* reader);

// Points `line` at the next line of `in`, line feed included, valid until the
// next read, and returns its length: 0 at the end and from the first failed read
// on (in.error set), so that a cut line never passes for a whole one.
int64_t fread_line_string(std::string_view& line, LineReader& in);

// The most of a line that ReadLineStart hands out.
inline constexpr size_t kLineStartLimit = size_t{64} * 1024;

// Reads the next line of `in` when only its start matters, in memory that does
// not grow with the file: lines end at CR, LF or CR LF, and `line` points at no
// more than kLineStartLimit bytes of it, without the line end, until the next
// read.  False at the end; a failed read counts as the end (in.error set), the
// bytes before it being a last line.  Not to be mixed with fread_line_string.
bool ReadLineStart(std::string_view& line, LineReader& in);

// Hands each line of `path` (as fread_line_string reads it) to `each` until it
// returns false.  Returns false (errno set) when opening or a read fails.
bool ForEachLine(const std::string& path, const std::function<bool(std::string_view)>& each);

// Buffers output for a descriptor it does not own, or, when `capture` is set,
// appends it there and writes nothing.
struct LineWriter {
  int fd = -1;
  std::vector<char> buffer;
  size_t used = 0;
  int error = 0;  // errno of the first failed write; nothing is written after it
  std::string* capture = nullptr;

  explicit LineWriter(int descriptor);
};

// Appends `count` bytes of `data`, whatever they are, and returns `count`; 0 or
// less writes nothing.  A failed write shows in out.error.
int64_t fwrite_line_string(const char* data, int64_t count, LineWriter& out);

inline void WriteText(std::string_view text, LineWriter& out) {
  fwrite_line_string(text.data(), static_cast<int64_t>(text.size()), out);
}

// Writes out what is gathered.  Returns 0, or -1 with errno set to out.error.
int FlushLineWriter(LineWriter& out);

// The line ending of `line`: "\r\n", "\n", or "" for a last line without one.
std::string_view LineEnding(std::string_view line);
