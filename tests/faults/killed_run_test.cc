// Runs of the LPRng tool killed at a random moment: every information file is
// afterwards its old version or its new one, never something in between.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <iostream>
#include <random>
#include <thread>

#include "fault_support.h"

namespace faults {
namespace {

using Clock = std::chrono::steady_clock;

const int kFormats = RealisticFormats(Tool::kLpr);
constexpr int kRuns = 100;
constexpr unsigned kSeed = 20240607;
const char* const kInfoFiles[] = {"cvkm3030func", "paperinfkm3030pt1", "cvkm3030rc", "ImagingArea",
                                  "PaperDimension"};
const std::string kMediaFile = std::string("customtape/") + kLabel + ".bin";

// Starts the LPRng tool in a process group of its own, kills the group with
// SIGKILL after `delay` (unless it ended before) and waits for the tool.
// Returns true when the kill ended it.
bool RunKilledAfter(const Args& args, const ts::Env& env, Clock::duration delay) {
  const pid_t pid = fork();
  if (pid == 0) {
    setpgid(0, 0);
    for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
    if (!freopen("/dev/null", "w", stdout)) _exit(126);
    std::vector<char*> argv = {const_cast<char*>("cvpapertoollpr_km3030")};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(ts::LprToolPath().c_str(), argv.data());
    _exit(127);
  }
  setpgid(pid, pid);
  std::this_thread::sleep_for(delay);
  kill(-pid, SIGKILL);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
  return WIFSIGNALED(status);
}

struct Operation {
  Args args;
  Tree after;  // the information directory after a run that was not killed
  Clock::duration duration{};
};

TEST(KilledRunTest, EveryInformationFileIsItsOldOrItsNewVersion) {
  ts::TestRoot root;
  const std::string inf = InstallDriverTree(root, kFormats, false, kQuietCupsTool);
  const Tree before = ReadTree(inf);
  Operation operations[2];
  operations[0].args = {"-P", kQueue, "-n", kLabel, "-w", "41",  "-h", "133", "-g", "3",
                        "-b", "3",    "-t", "3",    "-r", "1.5", "-l", "1.5", "-S", "1"};
  operations[1].args = {"-P", kQueue, "-d", GeneratedName(kFormats / 2)};
  for (Operation& operation : operations) {
    const Clock::time_point start = Clock::now();
    const ts::RunResult clean =
        ts::Run(ts::LprToolPath(), operation.args, root.ToolEnv(), "cvpapertoollpr_km3030");
    operation.duration = Clock::now() - start;
    ASSERT_EQ(clean.status, 0) << clean.out;
    operation.after = ReadTree(inf);
    for (auto& [name, stored] : operation.after) stored = NormalizeIds(stored);
    ASSERT_NE(Differences(operation.after, before), "");
    RestoreTree(inf, before);
  }

  std::mt19937 random(kSeed);
  int killed = 0, mid_rewrite = 0, untouched = 0, partly = 0, complete = 0;
  for (int run = 0; run < kRuns; ++run) {
    const Operation& operation = operations[random() % 2];
    const auto delay =
        std::uniform_int_distribution<Clock::rep>(0, operation.duration.count())(random);
    RestoreTree(inf, before);
    killed += RunKilledAfter(operation.args, root.ToolEnv(), Clock::duration(delay));
    Tree now = ReadTree(inf);
    int changing = 0, changed = 0;
    for (const char* name : kInfoFiles) {
      const std::string stored = NormalizeIds(now[name]);
      const bool is_old = stored == before.at(name), is_new = stored == operation.after.at(name);
      EXPECT_TRUE(is_old || is_new)
          << "run " << run << ": " << name << " is neither its old nor its new version";
      if (before.at(name) == operation.after.at(name)) continue;
      ++changing;
      changed += is_new;
    }
    // The media file appears whole or not at all.
    EXPECT_TRUE(!now.contains(kMediaFile) || now.at(kMediaFile) == operation.after.at(kMediaFile))
        << "run " << run;
    // A temporary file left means the kill came in the middle of a rewrite.
    if (!NamesEndingWith(now, ".$$$").empty()) ++mid_rewrite;
    if (changed == 0) ++untouched;
    if (changed > 0 && changed < changing) ++partly;
    if (changed == changing) ++complete;
  }
  std::cout << kRuns << " runs, " << killed << " killed, " << mid_rewrite
            << " of them while writing a temporary file: " << untouched << " left every file old, "
            << partly << " some new, " << complete << " every changed file new\n";
}

}  // namespace
}  // namespace faults
