// An owned stdio stream that is closed when it goes out of scope.
#pragma once

#include <cstdio>
#include <memory>

struct StdioFileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// For streams that are only read, or whose close result does not matter;
// files that are written for keeps are closed with CloseChecked instead.
using StdioFile = std::unique_ptr<std::FILE, StdioFileCloser>;
