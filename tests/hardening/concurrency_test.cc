// Runs started side by side: eight additions of different names at once, in
// rounds, through each tool, all land exactly once and change nothing else;
// and a lock holder killed with SIGKILL does not hold up the next run.
#include <signal.h>
#include <sys/wait.h>

#include "hardening_support.h"

namespace hardening {
namespace {

constexpr int kRounds = 5;
constexpr int kRunsPerRound = 8;
// No round may take longer; more would mean that runs wait for each other for ever.
constexpr int kBoundSeconds = 60;

// The CUPS tool; the LPRng tool running the real CUPS tool; the LPRng tool
// running the logging stand-in, so that nothing but its own lock keeps the
// runs apart.
enum class Tool { kCups, kLpr, kLprAlone };

const char* ToolName(Tool tool) {
  switch (tool) {
    case Tool::kCups:
      return "CupsTool";
    case Tool::kLpr:
      return "LprTool";
    case Tool::kLprAlone:
      return "LprToolAlone";
  }
  return "";
}

void PrintTo(Tool tool, std::ostream* out) { *out << ToolName(tool); }

class ConcurrencyTest : public ToolFixture, public ::testing::WithParamInterface<Tool> {
 protected:
  const Tool tool = GetParam();

  void SetUp() override {
    fixture_env = WithoutLeakScan();
    // The LPRng tool runs the real CUPS tool, which runs the stand-in CUPS.
    if (tool == Tool::kLpr) InstallCupsTool(ts::CupsToolPath());
  }

  // Starts one addition of `name` with the tool under test.
  pid_t StartAddition(const std::string& name, const ts::Env& extra = {}) const {
    return tool == Tool::kCups
               ? Start(ts::CupsToolPath(), CupsAddition(name), Env(extra))
               : Start(ts::LprToolPath(), LprAddition(name), Env(extra), kLprProgramName);
  }

  // The identifier of the format called `name` on its "*PageSize" line, or "".
  std::string IdInPpd(const std::string& ppd, const std::string& name) const {
    const size_t at = ppd.find("/" + name + ":\t\t\"");
    const size_t line = at == std::string::npos ? at : ppd.rfind("\n*PageSize CvL", at);
    return line == std::string::npos ? "" : ppd.substr(line + 11, 15);
  }

  // The identifier on the tape list line of `name`, or "".
  std::string IdInTapeList(const std::string& name) const {
    for (const std::string& line : ts::SplitLines(Info(kInfoFiles[0]))) {
      if (line.size() == 16 + name.size() && line.ends_with("/" + name)) return line.substr(0, 15);
    }
    return "";
  }

  // Each of `names` is in the queue's PPD (unless the CUPS tool is the
  // stand-in) and, for the LPRng tool, in every information file exactly
  // once, under one identifier, and nothing else changed.
  void ExpectEachPresentOnce(const std::vector<std::string>& names) const {
    const std::string ppd = ts::ReadFile(QueuePpd());
    std::vector<std::string> ids;
    for (const std::string& name : names) {
      if (tool == Tool::kLprAlone) {
        ids.push_back(IdInTapeList(name));
        ASSERT_FALSE(ids.back().empty()) << name;
        continue;
      }
      const std::string id = IdInPpd(ppd, name);
      ASSERT_FALSE(id.empty()) << name;
      ids.push_back(id);
      for (const char* keyword :
           {"*PageSize ", "*PageRegion ", "*ImageableArea ", "*PaperDimension "}) {
        EXPECT_EQ(LinesHolding(ppd, keyword + id + "/" + name + ":"), 1u) << name;
      }
      EXPECT_EQ(LinesHolding(ppd, id), 4u + 16u) << name;  // and the margins 15 to 30
    }
    EXPECT_EQ(WithoutLinesHolding(ppd, ids), SamplePpd());
    if (tool == Tool::kCups) return;
    for (size_t i = 0; i < names.size(); ++i) {
      EXPECT_EQ(LinesHolding(Info(kInfoFiles[0]), ids[i] + "/" + names[i]), 1u) << names[i];
      EXPECT_EQ(LinesHolding(Info(kInfoFiles[1]), ids[i] + "/" + names[i] + ":\t215\t191"), 1u)
          << names[i];
      EXPECT_EQ(LinesHolding(Info(kInfoFiles[3]), ids[i] + "\t:\t"), 1u) << names[i];
      EXPECT_EQ(LinesHolding(Info(kInfoFiles[4]), ids[i] + "\t:\t"), 1u) << names[i];
      EXPECT_EQ(ts::ReadFile(inf + "/customtape/" + names[i] + ".bin").size(), 132u) << names[i];
    }
    for (const std::string& name : kInfoFiles) {
      EXPECT_EQ(WithoutLinesHolding(Info(name), ids), SampleInfo(name)) << name;
    }
  }
};

TEST_P(ConcurrencyTest, EightAdditionsAtOnceAllLandExactlyOnce) {
  std::vector<std::string> names;
  for (int round = 1; round <= kRounds; ++round) {
    std::vector<pid_t> runs;
    for (int i = 1; i <= kRunsPerRound; ++i) {
      names.push_back("Round " + std::to_string(round) + " label " + std::to_string(i));
      runs.push_back(StartAddition(names.back()));
    }
    std::vector<int> statuses;
    ASSERT_TRUE(WaitAll(runs, kBoundSeconds, &statuses)) << "round " << round << " deadlocked";
    EXPECT_EQ(statuses, std::vector<int>(kRunsPerRound, 0)) << "round " << round;
    ExpectEachPresentOnce(names);
    if (HasFailure()) break;
  }
}

// Killing needs a lock holder with a slow step, which each tool gets below.
using KilledHolderTest = ConcurrencyTest;

TEST_P(KilledHolderTest, KilledLockHolderDoesNotHoldUpTheNextRun) {
  // A step of the first run that signals its start and then sleeps until the
  // test ends it: lpadmin for the CUPS tool, the CUPS tool itself for the
  // LPRng tool.  Only the first call sleeps; later calls do the real work.
  const std::string started = root.Path("/started"), sleepy = root.Path("/sleepy");
  const std::string script = "#!/bin/sh\nif [ -e '" + sleepy + "' ]; then rm -f '" + sleepy +
                             "'; : > '" + started + "'; exec sleep 600; fi\nexec '";
  ts::Env extra;
  if (tool == Tool::kCups) {
    ts::WriteFile(root.Path("/slow-bin/lpadmin"), script + ts::StubDir() + "/lpadmin' \"$@\"\n",
                  0755);
    for (const auto& [name, value] : Env()) {
      if (name == "PATH") extra = {{"PATH", root.Path("/slow-bin") + ":" + value}};
    }
  } else {
    InstallCupsTool(ts::CupsToolPath());
    const std::string program = root.Path("/opt/corvane/km3030/bin/lpd/cvpapertoolcups");
    ts::WriteFile(program + ".real", ts::ReadFile(ts::CupsToolPath()), 0755);
    ts::WriteFile(program, script + program + ".real' \"$@\"\n", 0755);
  }
  ts::WriteFile(sleepy, "");

  const pid_t holder = StartAddition("Held", extra);
  ASSERT_TRUE(AwaitFile(started, kBoundSeconds)) << "the first run never reached its slow step";
  kill(holder, SIGKILL);  // the lock holder alone; its sleeping helper lives on
  int wstatus = 0;
  ASSERT_EQ(waitpid(holder, &wstatus, 0), holder);
  EXPECT_TRUE(WIFSIGNALED(wstatus));

  std::vector<int> statuses;
  const bool ended = WaitAll({StartAddition("Next", extra)}, kBoundSeconds, &statuses);
  EndGroup(holder);  // the sleeping helper
  ASSERT_TRUE(ended) << "the next run waited for the killed one";
  EXPECT_EQ(statuses[0], 0);
  ExpectEachPresentOnce({"Next"});
}

INSTANTIATE_TEST_SUITE_P(Tools, ConcurrencyTest,
                         ::testing::Values(Tool::kCups, Tool::kLpr, Tool::kLprAlone),
                         [](const ::testing::TestParamInfo<Tool>& info) {
                           return std::string(ToolName(info.param));
                         });
INSTANTIATE_TEST_SUITE_P(Tools, KilledHolderTest, ::testing::Values(Tool::kCups, Tool::kLpr),
                         [](const ::testing::TestParamInfo<Tool>& info) {
                           return std::string(ToolName(info.param));
                         });

}  // namespace
}  // namespace hardening
