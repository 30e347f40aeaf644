// Resolves the fixed paths, relocated under a test root in test builds.
#include "fixed_paths.h"

#include <cstdio>
#include <cstdlib>

std::string FixedPath(std::string_view fixed) {
#ifdef CORVANE_RELOCATABLE
  const char* root = std::getenv("CORVANE_TEST_ROOT");
  if (root == nullptr || root[0] != '/') {
    std::fputs("relocatable build: CORVANE_TEST_ROOT must name an absolute directory\n", stderr);
    std::exit(2);
  }
  std::string path(root);
  while (!path.empty() && path.back() == '/') path.pop_back();
  path.append(fixed);
  return path;
#else
  return std::string(fixed);
#endif
}
