// Shared fixture of the hardening tests: one test root holding a queue of the
// stand-in CUPS and the km3030 driver tree, runs of both tools in it, and
// processes started side by side with a bound on how long they may take.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "test_support.h"

namespace hardening {

namespace ts = testing_support;
using Args = std::vector<std::string>;
using Calls = std::vector<std::vector<std::string>>;

// The queue every test edits, and the device URI the stand-in lpoptions reports for it.
inline const std::string kQueue = "KM-3030";
inline const std::string kUsbUri = "usb://Maker/Model?serial=AB12&interface=1";
// The driver's information files of the km3030 model, in rewrite order.
inline const std::vector<std::string> kInfoFiles = {"cvkm3030func", "paperinfkm3030pt1",
                                                    "cvkm3030rc", "ImagingArea", "PaperDimension"};
// The name the LPRng tool must be run under to pick the km3030 model.
inline const std::string kLprProgramName = "cvpapertoollpr_km3030";

// The shipped sample PPD and a sample information file.
std::string SamplePpd();
std::string SampleInfo(const std::string& name);

// The option line the stand-in lpoptions prints for a queue with device `uri`.
std::string OptionLine(const std::string& uri);

// An environment entry that turns off the leak scan a sanitizer build makes
// at the exit of every process.  It would double the cost of tests that run
// the tools hundreds of times on their ordinary paths; the tools' leaks are
// looked for by their own tests, the planted-link tests and the fuzzers.
ts::Env WithoutLeakScan();

// A label identifier for a name of `name_length` bytes, 30 by 30 mm, with
// fixed time fields.
std::string FixedLabelId(size_t name_length);

// The lines of `text` (line feeds kept) that contain none of `ids`.
std::string WithoutLinesHolding(const std::string& text, const std::vector<std::string>& ids);

// How many lines of `text` contain `needle`.
size_t LinesHolding(const std::string& text, std::string_view needle);

// A test root with a queue kQueue (the sample PPD) in the stand-in CUPS and
// the km3030 driver tree (the sample information files and customtape/).
class ToolFixture : public ::testing::Test {
 protected:
  ts::TestRoot root;
  const std::string inf = root.Path("/opt/corvane/km3030/bin/inf");

  ToolFixture();

  std::string QueuePpd(const std::string& queue = kQueue) const;
  void InstallQueue(const std::string& ppd, const std::string& queue = kQueue) const;
  // Installs `program` as the driver's CUPS tool (the logging stand-in by default).
  void InstallCupsTool(const std::string& program) const;
  std::string Info(const std::string& name) const;
  void WriteInfo(const std::string& name, const std::string& text) const;
  // The information files by name.
  std::map<std::string, std::string> InfoFiles() const;

  // Added to the environment of every run of this fixture.
  ts::Env fixture_env;

  // The environment of the tools: the test root's, the stand-in lpoptions
  // reporting kUsbUri, fixture_env, then `extra`.
  ts::Env Env(const ts::Env& extra = {}) const;
  ts::RunResult Cups(const Args& args, const ts::Env& extra = {}) const;
  ts::RunResult Lpr(const Args& args, const ts::Env& extra = {}) const;
  // The argument vector of an LPRng addition of `name` (30 by 30 mm).
  static Args LprAddition(const std::string& name, const std::string& queue = kQueue);
  // The argument vector of a CUPS addition of `name`, `length_mm` long.
  static Args CupsAddition(const std::string& name, const std::string& queue = kQueue,
                           const std::string& length_mm = "30");
  // The three calls of one re-registration of `queue` with the scratch PPD.
  Calls ReRegistration(const std::string& queue = kQueue, const std::string& uri = kUsbUri) const;
};

// ---- Processes started side by side ------------------------------------------

// Starts `program` (argv[0] `argv0`, or `program` when empty) with the
// environment of the test plus `env`, in a process group of its own, with
// standard input from /dev/null and standard output and error into the file
// `output` (created afresh).  Returns its process id.
pid_t Start(const std::string& program, const Args& args, const ts::Env& env,
            const std::string& argv0 = "", const std::string& output = "/dev/null");

// Waits for every process of `pids` to end, at most `seconds`.  Returns true
// and fills `statuses` (exit status, or 128 + signal) when all ended in time;
// otherwise kills the process groups of those still running, reaps them and
// returns false.
bool WaitAll(const std::vector<pid_t>& pids, int seconds, std::vector<int>* statuses);

// Ends what is left of the process group `pid` leads (helpers that outlived
// their parent) and reaps the leader if it has not been reaped yet.
void EndGroup(pid_t pid);

// Waits until `path` exists, at most `seconds`; returns whether it does.
bool AwaitFile(const std::string& path, int seconds);

// Changes the working directory for its lifetime: canary files that a
// command line might create by accident land in a known place.
class ScopedWorkingDirectory {
 public:
  explicit ScopedWorkingDirectory(const std::string& dir);
  ~ScopedWorkingDirectory();
  ScopedWorkingDirectory(const ScopedWorkingDirectory&) = delete;
  ScopedWorkingDirectory& operator=(const ScopedWorkingDirectory&) = delete;

 private:
  std::string previous_;
};

}  // namespace hardening
