// Preloaded into a tool by the tests: makes the Nth call of fsync or rename
// fail with EIO, as CORVANE_FAIL ("fsync:N" or "rename:N") says.
#include <dlfcn.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

// True when this call of `name` is the one to fail.
bool FailsNow(const char* name) {
  static int calls = 0;
  const char* setting = std::getenv("CORVANE_FAIL");
  const size_t length = std::strlen(name);
  if (setting == nullptr || std::strncmp(setting, name, length) != 0 || setting[length] != ':') {
    return false;
  }
  return ++calls == std::atoi(setting + length + 1);
}

}  // namespace

extern "C" int fsync(int fd) {
  if (FailsNow("fsync")) return errno = EIO, -1;
  return reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"))(fd);
}

extern "C" int rename(const char* from, const char* to) noexcept {
  if (FailsNow("rename")) return errno = EIO, -1;
  return reinterpret_cast<int (*)(const char*, const char*)>(dlsym(RTLD_NEXT, "rename"))(from, to);
}
