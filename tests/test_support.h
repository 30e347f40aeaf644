// Shared vocabulary of the tests: a private test root, files in it, running
// the built programs and reading what the CUPS stand-ins were asked to do.
#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace testing_support {

// The outcome of one program run.
struct RunResult {
  int status = -1;  // exit status, or 128 + signal number
  std::string out;  // standard output
  std::string err;  // standard error
};

using Env = std::vector<std::pair<std::string, std::string>>;

// Runs `program` with `args` (argv[0] is `argv0`, or `program` when empty),
// with the test process's environment plus `env`, and waits for it.
RunResult Run(const std::string& program, const std::vector<std::string>& args,
              const Env& env = {}, const std::string& argv0 = "");

// Reads a whole file; "" when it cannot be read.
std::string ReadFile(const std::string& path);
// Writes a whole file, creating its parent directories.
void WriteFile(const std::string& path, const std::string& data, mode_t mode = 0644);
bool Exists(const std::string& path);
mode_t ModeOf(const std::string& path);  // permission bits; 0 when missing
std::vector<std::string> SplitLines(const std::string& text);  // without line feeds

// The argument vector with which the LPRng tool has the CUPS tool add `name`
// under `id` for the geometry of its usage example (30 x 30 mm, gap 3,
// margins 1.5 / 3 / 1.5 / 3, die-cut).
std::vector<std::string> UsageExampleCupsAddition(const std::string& queue,
                                                  const std::string& name, const std::string& id);

// A private directory tree standing in for "/" of a relocatable build: it
// holds etc/cups/ppd/, tmp/ and opt/corvane/, and is removed afterwards.
struct TestRoot {
  std::string dir;      // absolute, no trailing slash
  std::string log_dir;  // where the CUPS stand-ins log their calls

  TestRoot();
  ~TestRoot();
  TestRoot(const TestRoot&) = delete;
  TestRoot& operator=(const TestRoot&) = delete;

  // `fixed` (an absolute path such as "/tmp/uri") under this root.
  std::string Path(const std::string& fixed) const;
  // The environment a relocated program needs: CORVANE_TEST_ROOT, the
  // stand-ins first in PATH, STUB_LOG_DIR.
  Env ToolEnv() const;
  // The calls the stand-ins logged, oldest first: program name then arguments.
  std::vector<std::vector<std::string>> Calls() const;
  void ClearCalls() const;
};

// Paths of the built programs and the stand-ins, fixed when the tests are built.
std::string CupsToolPath();
std::string LprToolPath();
std::string Ps2psPath();
std::string StubDir();
std::string SampleDataDir();

}  // namespace testing_support
