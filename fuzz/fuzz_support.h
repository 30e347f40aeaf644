// The setup and input helpers of every fuzz target (included once by each).
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "fixed_paths.h"

// Before the first input: a private stand-in for "/" of the relocatable build,
// in memory when possible (the tools force their files to disk), removed at exit.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char shm[] = "/dev/shm/corvane-fuzz-XXXXXX", tmp[] = "/tmp/corvane-fuzz-XXXXXX";
  const char* dir = mkdtemp(shm) != nullptr ? shm : mkdtemp(tmp);
  if (dir == nullptr || setenv("CORVANE_TEST_ROOT", dir, 1) != 0) std::abort();
  std::atexit([] { std::filesystem::remove_all(std::getenv("CORVANE_TEST_ROOT")); });
  std::filesystem::create_directories(FixedPath(kPpdDir));
  std::filesystem::create_directories(FixedPath("/tmp"));
  return 0;
}

inline void WriteWholeFile(const std::string& path, std::string_view data) {
  if (!(std::ofstream(path, std::ios::binary) << data).flush()) std::abort();
}

// The input's text before its first zero byte (empty when it has none), and the rest.
inline std::pair<std::string_view, std::string_view> SplitAtZero(const uint8_t* data, size_t size) {
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  const size_t zero = all.find('\0');
  if (zero == all.npos) return {{}, all};
  return {all.substr(0, zero), all.substr(zero + 1)};
}
