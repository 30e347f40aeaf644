// Line reading and complete writing of counted byte runs.
#include <sys/types.h>

#include <cstdio>
#include <cstdlib>

#include "paper_size_tool.h"

LineBuffer::~LineBuffer() { std::free(data); }

int64_t fread_line_string(LineBuffer& line, std::FILE* in) {
  TraceEnter(kTraceSource, "fread_line_string");
  // getdelim grows the buffer as needed and counts zero bytes like any other.
  ssize_t count = getdelim(&line.data, &line.capacity, '\n', in);
  if (count > 0) return count;
  if (line.data == nullptr) {
    line.data = static_cast<char*>(std::malloc(1));
    if (line.data == nullptr) return 0;
    line.capacity = 1;
  }
  line.data[0] = '\0';
  return 0;
}

int64_t fwrite_line_string(const char* data, int64_t count, std::FILE* out) {
  TraceEnter(kTraceSource, "fwrite_line_string");
  int64_t remaining = count;
  while (remaining > 0) {
    size_t written = std::fwrite(data, 1, static_cast<size_t>(remaining), out);
    if (written == 0) break;  // no progress: the stream's error flag is set
    remaining -= static_cast<int64_t>(written);
    data += written;
  }
  return count;
}
