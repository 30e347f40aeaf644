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
  size_t clean = 0;     // leading unread bytes already searched: no line feed, no whole marker

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

// Passes over the whole lines of `in` that hold none of `markers`, handing
// them to skip(run) in large runs of complete lines, and reads the next line
// that holds one, as fread_line_string does.  Returns its length; 0 at the
// end of the file (any last line without a marker has been skipped) or when
// reading failed (in.error is then set).  No marker may hold a line feed.
template <typename Skip>
int64_t ReadMarkedLine(LineReader& in, const std::vector<std::string_view>& markers,
                       std::string_view& line, Skip&& skip);

// Gathers output for one descriptor, which it does not own.
struct LineWriter {
  int fd = -1;
  std::vector<char> buffer;
  size_t used = 0;
  int error = 0;          // errno of the first failed write; nothing is written after it
  char last_byte = '\n';  // the last byte written; a line feed before anything is

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
  out.last_byte = data[size - 1];
  return count;
}

// Appends all of `text` with fwrite_line_string.
inline void WriteText(std::string_view text, LineWriter& out) {
  fwrite_line_string(text.data(), static_cast<int64_t>(text.size()), out);
}

// Writes out what is gathered.  Returns 0, or -1 with errno set to out.error.
int FlushLineWriter(LineWriter& out);

// ---- Implementation of ReadMarkedLine ----------------------------------------

// Where the first of `markers` begins in `text`, or text.size() when none does.
size_t FindFirstMarker(std::string_view text, const std::vector<std::string_view>& markers);

// Reads more of the file behind the unread bytes; false at its end or on a failure.
bool RefillLineReader(LineReader& in);

template <typename Skip>
int64_t ReadMarkedLine(LineReader& in, const std::vector<std::string_view>& markers,
                       std::string_view& line, Skip&& skip) {
  size_t longest = 1;
  for (std::string_view marker : markers)
    longest = marker.size() > longest ? marker.size() : longest;
  for (;;) {
    const std::string_view unread(in.buffer.data() + in.begin, in.end - in.begin);
    const size_t hit = in.clean + FindFirstMarker(unread.substr(in.clean), markers);
    if (hit < unread.size()) {
      const size_t feed = unread.rfind('\n', hit);
      const size_t line_start = feed == std::string_view::npos ? 0 : feed + 1;
      if (line_start > 0) skip(unread.substr(0, line_start));
      in.begin += line_start;
      in.clean = 0;
      return fread_line_string(line, in);
    }
    // No marker: every whole line can go; the unfinished last one waits for
    // more data, remembering how much of it was searched already.
    const size_t feed = unread.rfind('\n');
    const size_t whole = feed == std::string_view::npos ? 0 : feed + 1;
    if (whole > 0) skip(unread.substr(0, whole));
    in.begin += whole;
    const size_t rest = unread.size() - whole;
    in.clean = rest >= longest ? rest - (longest - 1) : 0;
    if (!RefillLineReader(in)) {
      in.clean = 0;
      line = std::string_view();
      if (in.error != 0) return 0;
      // The refill may have moved the unread bytes: take them afresh.
      if (in.end > in.begin) skip(std::string_view(in.buffer.data() + in.begin, in.end - in.begin));
      in.begin = in.end;
      return 0;
    }
  }
}
