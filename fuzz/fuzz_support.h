// Helpers shared by the fuzz targets: a private test root and input files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Creates (once per process) a private directory that stands in for "/" of
// the relocatable build, sets CORVANE_TEST_ROOT to it and returns it.
const std::string& FuzzRoot();

// Writes `data` to `path` (replacing it) and aborts when that fails.
void WriteWholeFile(const std::string& path, std::string_view data);

// Reads a whole file; "" when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// Splits the fuzz input at the first zero byte: the text before it and the
// bytes after it (all of the input when there is no zero byte).
std::pair<std::string_view, std::string_view> SplitAtZero(const uint8_t* data, size_t size);
