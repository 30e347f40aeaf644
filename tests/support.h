// The tests' vocabulary: private test roots, the built programs' test copies,
// the stand-in CUPS commands, and the tables and golden files of tests/data.
#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace ts {

using Args = std::vector<std::string>;
using Env = std::vector<std::pair<std::string, std::string>>;

struct RunResult {
  int status = -1;  // exit status, or 128 + signal number
  std::string out;
  std::string err;
};

// Runs `program` with `args` (argv[0] is `argv0`, or `program`), the test's
// environment plus `env`, standard input from /dev/null, and waits for it.
RunResult Run(const std::string& program, const Args& args, const Env& env = {},
              const std::string& argv0 = "");

std::string ReadFile(const std::string& path);  // "" when it cannot be read
void WriteFile(const std::string& path, const std::string& data, mode_t mode = 0644);

// The test copies of the programs, the stand-ins, and tests/data.
std::string CupsTool();
std::string LprTool();
std::string Ps2ps();
std::string Stubs();
std::string Data(const std::string& name);

// The rows of a table in tests/data: one row a line, fields separated by
// TABs, with \t \n \\ and \xHH escapes inside fields; "#" lines and empty
// lines are left out.
std::vector<Args> Table(const std::string& name);
std::string Unescape(const std::string& field);

// A private directory standing in for "/" of the test copies: the sample
// driver tree of km3030 (its CUPS tool the logging stand-in) and the queue
// KM-3030 on the sample PPD.  In-process code resolves its fixed paths here
// too.  Removed afterwards.
struct TestRoot {
  std::string dir;

  TestRoot();
  ~TestRoot();
  TestRoot(const TestRoot&) = delete;
  TestRoot& operator=(const TestRoot&) = delete;

  std::string Path(const std::string& fixed) const { return dir + fixed; }
  std::string Inf(const std::string& file = "") const;  // the km3030 information directory
  std::string Ppd(const std::string& queue = "KM-3030") const;
  // CORVANE_TEST_ROOT, the stand-ins first in PATH, and `extra`.
  Env ToolEnv(const Env& extra = {}) const;
  // The calls the stand-ins logged, oldest first: program name, then arguments.
  std::vector<Args> Calls() const;
  void ClearCalls() const;
  void InstallCupsTool(bool real) const;  // the real test copy, or the stand-in
  RunResult Cups(const Args& args, const Env& extra = {}) const;
  RunResult Lpr(const Args& args, const Env& extra = {}) const;  // as cvpapertoollpr_km3030
};

// Every regular file below `dir`, not through links (path relative to it,
// content), sorted.
std::vector<std::pair<std::string, std::string>> Tree(const std::string& dir);

}  // namespace ts
