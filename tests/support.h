// The tests' vocabulary: test roots, the programs' test copies, the CUPS
// stand-ins, the tables and golden files of tests/data.
#pragma once

#include <sys/types.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace ts {

using Args = std::vector<std::string>;
using Env = std::vector<std::pair<std::string, std::string>>;
struct RunResult {
  int status = -1;  // exit status, or 128 + signal number
  std::string out, err;
};

// Runs `program` (argv[0] `argv0` or itself) with this environment plus `env`,
// and `input` as its standard input.
RunResult Run(const std::string& program, const Args& args, const Env& env = {},
              const std::string& argv0 = "", const std::string& input = "");
std::string ReadFile(const std::string& path);  // "" when it cannot be read
void WriteFile(const std::string& path, const std::string& data, mode_t mode = 0644);
// Every regular file below `dir`, not through links: relative path, content.
std::map<std::string, std::string> Tree(const std::string& dir);

std::string CupsTool();  // the test copies of the programs
std::string LprTool();
std::string Ps2ps();
std::string Data(const std::string& name);  // a file of tests/data
// A table of tests/data: a row a line, TABs between fields, the escapes \t
// \n \r \\ and \xHH, "#" lines and empty lines left out.
std::vector<Args> Table(const std::string& name);
// `text` with each label identifier ("CvL" and 12 upper-case hex digits) as
// `mask` gives it, first to last.
std::string MaskIds(const std::string& text,
                    const std::function<std::string(const std::string& id)>& mask);
// `text` with each `from` replaced by `to`.
std::string Replaced(std::string text, const std::string& from, const std::string& to);

// A private "/" for the test copies and in-process code: the sample km3030
// driver tree (the logging stand-in as its CUPS tool), the queue KM-3030.
struct TestRoot {
  std::string dir;
  TestRoot();
  ~TestRoot();
  std::string Path(const std::string& fixed) const { return dir + fixed; }
  std::string Inf(const std::string& file = "") const {  // the km3030 information directory
    return Path("/opt/corvane/km3030/bin/inf/" + file);
  }
  std::string Ppd(const std::string& queue = "KM-3030") const {
    return Path("/etc/cups/ppd/" + queue + ".ppd");
  }
  Env ToolEnv(const Env& extra = {}) const;  // the test root, the stand-ins first in PATH
  // The stand-ins' calls, oldest first: a call a line, TABs between the words.
  std::string Calls() const;
  void ClearCalls() const;
  void InstallCupsTool(bool real) const;  // the CUPS tool's test copy, or the stand-in
  RunResult Cups(const Args& args, const Env& extra = {}) const {
    return Run(CupsTool(), args, ToolEnv(extra));
  }
  RunResult Lpr(const Args& args, const Env& extra = {}) const {  // as cvpapertoollpr_km3030
    return Run(LprTool(), args, ToolEnv(extra), "cvpapertoollpr_km3030");
  }
};

}  // namespace ts
