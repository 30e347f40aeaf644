// Shared vocabulary of the write-fault tests: realistic queues and driver trees,
// snapshots of directory trees, a size-limited tmpfs in a private mount
// namespace, the failure-injecting preload library, and the check that a run
// ended in complete success or in a clean failure.
#pragma once

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "test_support.h"

namespace faults {

namespace ts = testing_support;
using Args = std::vector<std::string>;

// ---- Realistic data --------------------------------------------------------

enum class Tool { kCups, kLpr };

inline constexpr char kQueue[] = "KM-3030";
inline constexpr char kModel[] = "km3030";
// The label format the tests add and remove: 41 x 29 mm under the CUPS tool,
// 41 x 133 mm under the LPRng tool, so no generated format shares the start
// of its identifier.
inline constexpr char kLabel[] = "Fault Label";

// Realistic sizes: a queue's PPD with a hundred label formats (about 50 KB),
// information files with three hundred (10 to 20 KB each).
int RealisticFormats(Tool tool);

// The name of generated label format i (from 1).
std::string GeneratedName(int i);

// The sample PPD with `formats` generated label formats, each with its four
// page-size lines and, for short labels, its margin constraints; with
// `with_label` also kLabel (41 x 29 mm) under `label_id`.
std::string PpdWithFormats(int formats, bool with_label, const std::string& label_id);

// Writes the five information files of the sample driver tree with `formats`
// generated label formats (and kLabel at 40 x 133 mm with a media file when
// `with_label`), and installs `cups_tool` (a script text) as the tree's CUPS
// tool.  Returns the information directory.
std::string InstallDriverTree(const ts::TestRoot& root, int formats, bool with_label,
                              const std::string& cups_tool);

// A CUPS tool stand-in that does nothing and succeeds.
inline constexpr char kQuietCupsTool[] = "#!/bin/sh\nexit 0\n";

// Replaces every identifier of kLabel made by the LPRng tool (its time fields
// differ from run to run) with one fixed text.
std::string NormalizeIds(std::string text);

// ---- Directory trees -------------------------------------------------------

// Everything under a directory: relative path -> mode and contents of each
// regular file, and "<path>/" for each directory.
using Tree = std::map<std::string, std::string>;
Tree ReadTree(const std::string& dir);
// Makes `dir` hold exactly the files of `tree` and at least its directories.
void RestoreTree(const std::string& dir, const Tree& tree);
// The names of the files that differ between `got` and `want`, each marked
// "(added)", "(changed)" or "(missing)"; "" when the trees are equal.
std::string Differences(const Tree& got, const Tree& want);
// The relative paths of `tree` that end with `suffix`.
std::vector<std::string> NamesEndingWith(const Tree& tree, const std::string& suffix);

// ---- Out of space ----------------------------------------------------------

// Moves this process into a mount namespace of its own whose mounts do not
// propagate back.  Returns "" when done, otherwise why it was refused.
std::string EnterPrivateMountNamespace();

// A tmpfs mounted over a directory for the lifetime of the object.
class Tmpfs {
 public:
  // Mounts a tmpfs over `dir`, keeping nothing of what was there.  `error`
  // tells why when the mount was refused.
  explicit Tmpfs(const std::string& dir);
  ~Tmpfs();
  Tmpfs(const Tmpfs&) = delete;
  Tmpfs& operator=(const Tmpfs&) = delete;

  const std::string& error() const { return error_; }
  // Lets the filesystem grow (for setting up its files).
  void Unlimit();
  // Limits the filesystem to what it holds now plus `pages` free 4 KiB pages;
  // returns the free pages it then reports.
  uint64_t LeaveFreePages(uint64_t pages);

 private:
  std::string dir_;
  std::string error_;
};

// ---- Injected failures -----------------------------------------------------

// The preload library of fault_shim.cc.
std::string ShimPath();

// The environment that makes the `at`th call of `kind` ("write", "flush",
// "close", "rename", "fsync") on a file under `root` fail with `error`; the
// library adds a line to `report` when it did.
ts::Env InjectionEnv(const std::string& root, const std::string& kind, long at, int error,
                     const std::string& report);

// ---- Runs and their outcomes -----------------------------------------------

// One operation of one tool on a prepared test root.
struct Scenario {
  const char* name;
  Tool tool;
  Args args;
  bool label_present;  // kLabel is in place before the run
};

void PrintTo(const Scenario& scenario, std::ostream* out);

// The scenarios shared by the out-of-space and the injection tests.
const std::vector<Scenario>& CupsScenarios();
const std::vector<Scenario>& LprScenarios();

// How a run ended.
enum class Outcome { kDone, kFailed, kQueueUntouched };

// A prepared test root for one scenario: the files before the run, the
// versions a clean run leaves, and the check of a run's outcome.
class ScenarioRoot {
 public:
  ScenarioRoot(const Scenario& scenario, int formats);

  ts::TestRoot root;
  const Scenario& scenario;
  std::string watched;         // the directory whose files must never be lost
  Tree before;                 // its files before a run
  std::vector<Tree> versions;  // the versions each file may have after a failure

  // Puts the files before a run back and forgets the stand-ins' calls.
  void Reset();
  // Runs the scenario's tool with `extra` in its environment.
  ts::RunResult Run(const ts::Env& extra = {});
  // Checks the state after a run that ended with `result`: complete success
  // (the files of a clean run), or the failure status with every file in
  // one of its versions (for the CUPS tool: untouched, and no lpadmin ran),
  // and no temporary file left.  Records a test failure otherwise.
  Outcome Check(const ts::RunResult& result, const std::string& context);
};

}  // namespace faults
