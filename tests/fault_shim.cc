// Preloaded into a tool by the tests: the Nth call of fsync or rename fails
// with EIO, as CORVANE_FAIL ("fsync:N" or "rename:N") says.
#include <dlfcn.h>

#include <cerrno>
#include <cstdlib>
#include <string>

static bool FailsNow(const std::string& call) {
  static int calls = 0;
  const char* setting = std::getenv("CORVANE_FAIL");
  return setting != nullptr && std::string(setting).starts_with(call + ":") &&
         ++calls == std::atoi(setting + call.size() + 1);
}

extern "C" int fsync(int fd) {
  if (FailsNow("fsync")) return errno = EIO, -1;
  return reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"))(fd);
}

extern "C" int rename(const char* from, const char* to) noexcept {
  if (FailsNow("rename")) return errno = EIO, -1;
  return reinterpret_cast<int (*)(const char*, const char*)>(dlsym(RTLD_NEXT, "rename"))(from, to);
}
