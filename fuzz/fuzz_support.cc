// Helpers shared by the fuzz targets.
#include "fuzz_support.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

const std::string& FuzzRoot() {
  static const std::string root = [] {
    // Memory-backed when possible: the tools force their files to disk,
    // which would otherwise dominate every run.
    char shm_dir[] = "/dev/shm/corvane-fuzz-XXXXXX";
    char tmp_dir[] = "/tmp/corvane-fuzz-XXXXXX";
    char* dir = mkdtemp(shm_dir);
    if (dir == nullptr) dir = mkdtemp(tmp_dir);
    if (dir == nullptr) std::abort();
    std::string path(dir);
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(std::getenv("CORVANE_TEST_ROOT"), ignored);
    });
    for (const char* sub : {"/etc", "/etc/cups", "/etc/cups/ppd", "/tmp", "/opt", "/opt/corvane"}) {
      mkdir((path + sub).c_str(), 0755);
    }
    setenv("CORVANE_TEST_ROOT", path.c_str(), 1);
    return path;
  }();
  return root;
}

void WriteWholeFile(const std::string& path, std::string_view data) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) std::abort();
  if (!data.empty() && std::fwrite(data.data(), 1, data.size(), out) != data.size()) std::abort();
  if (std::fclose(out) != 0) std::abort();
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::pair<std::string_view, std::string_view> SplitAtZero(const uint8_t* data, size_t size) {
  std::string_view all(reinterpret_cast<const char*>(data), size);
  size_t zero = all.find('\0');
  if (zero == std::string_view::npos) return {std::string_view(), all};
  return {all.substr(0, zero), all.substr(zero + 1)};
}
