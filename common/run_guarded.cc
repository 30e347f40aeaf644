// The one way every main runs a tool's work: no exception escapes main.
#include "run_guarded.h"

#include <cstdio>
#include <exception>

int RunGuarded(const char* program, int (*run)(int argc, char** argv), int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s: %s\n", program, error.what());
    return 1;
  }
}
