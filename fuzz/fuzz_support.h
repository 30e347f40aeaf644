// What every fuzz target shares: a private stand-in for "/" of the test
// copies, and the input split at its first zero byte.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "fixed_paths.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char dir[] = "/dev/shm/corvane-fuzz-XXXXXX";
  if (mkdtemp(dir) == nullptr || setenv("CORVANE_TEST_ROOT", dir, 1) != 0) std::abort();
  std::atexit([] { std::filesystem::remove_all(std::getenv("CORVANE_TEST_ROOT")); });
  std::filesystem::create_directories(FixedPath(kPpdDir));
  std::filesystem::create_directories(FixedPath("/tmp"));
  return 0;
}

// Writes what follows the input's first zero byte (all of it without one) to
// `path`; gives what precedes it, and what was written.
inline std::pair<std::string_view, std::string_view> Prepare(const uint8_t* data, size_t size,
                                                             const std::string& path) {
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  const size_t zero = all.find('\0');
  const auto parts = zero == all.npos ? std::pair(std::string_view(), all)
                                      : std::pair(all.substr(0, zero), all.substr(zero + 1));
  std::ofstream(path, std::ios::binary) << parts.second;
  return parts;
}
