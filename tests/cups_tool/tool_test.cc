// cvpapertoolcups run as a process against the stand-in lpoptions and lpadmin.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <regex>

#include "test_support.h"

namespace {

using testing_support::Env;
using testing_support::Exists;
using testing_support::ModeOf;
using testing_support::ReadFile;
using testing_support::RunResult;
using testing_support::TestRoot;
using testing_support::WriteFile;
using Args = std::vector<std::string>;
using Calls = std::vector<std::vector<std::string>>;

const Args kWorkedExample = {
    "-P",  "zr460", "-n", "New Label Format", "-w", "29", "-h", "70", "-l", "1.5", "-t", "3", "-r",
    "1.5", "-b",    "3"};
const std::string kUri = "usb://Maker/Model?serial=A1&interface=1";

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
    text.replace(at, from.size(), to);
  }
  return text;
}

std::string Data(const std::string& name) { return ReadFile(CUPS_TOOL_DATA_DIR "/" + name); }

class CupsToolTest : public ::testing::Test {
 protected:
  TestRoot root;
  const std::string scratch_ppd = root.Path("/tmp/pTmpPPD");

  std::string QueuePpd(const std::string& queue = "zr460") {
    return root.Path("/etc/cups/ppd/" + queue + ".ppd");
  }
  // Creates the queue in the stand-in CUPS with `ppd` and the URI kUri.
  void InstallQueue(const std::string& ppd, const std::string& queue = "zr460") {
    WriteFile(root.Path("/seed.ppd"), ppd);
    testing_support::Run(testing_support::StubDir() + "/lpadmin",
                         {"-p", queue, "-E", "-v", kUri, "-P", root.Path("/seed.ppd")},
                         root.ToolEnv());
    root.ClearCalls();
  }
  RunResult Tool(const Args& args, const Env& extra = {}) {
    Env env = root.ToolEnv();
    env.insert(env.end(), extra.begin(), extra.end());
    return testing_support::Run(testing_support::CupsToolPath(), args, env);
  }
  Calls ReRegistration(const std::string& queue = "zr460") {
    return {{"lpoptions", "-p", queue}, {"lpadmin", "-p", queue, "-P", scratch_ppd}};
  }
  // The label identifier on the first page-size line of the queue's PPD.
  std::string IdInQueue() {
    std::smatch match;
    std::string ppd = ReadFile(QueuePpd());
    return std::regex_search(ppd, match, std::regex("\\*PageSize (CvL\\w+)/")) ? match[1].str()
                                                                               : "";
  }
};

TEST_F(CupsToolTest, AddsTheWorkedExampleAtItsPlaces) {
  InstallQueue(Data("zr460.ppd"));
  mode_t old_mask = umask(077);
  RunResult result = Tool(kWorkedExample);
  umask(old_mask);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(root.Calls(), ReRegistration());
  std::string id = IdInQueue();
  EXPECT_TRUE(std::regex_match(id, std::regex("CvL101D046[0-9A-F]{5}"))) << id;
  EXPECT_EQ(ReadFile(QueuePpd()), ReplaceAll(Data("zr460-new-label-format.ppd"), "@ID@", id));
  EXPECT_EQ(ModeOf(scratch_ppd), 0644u);
  EXPECT_EQ(ModeOf(root.Path("/tmp/uri")), 0644u);
}

TEST_F(CupsToolTest, ConstraintsOfAShortLabelFollowOnLinesOfTheirOwn) {
  InstallQueue(Data("zr460.ppd"));
  Args args = kWorkedExample;
  args[7] = "29";
  ASSERT_EQ(Tool(args).status, 0);
  std::string ppd = ReadFile(QueuePpd());
  std::string tail = ppd.substr(ppd.find("*% End of zr460.ppd"));
  std::string expected = "*% End of zr460.ppd\n";
  for (int i = 15; i <= 30; ++i) {
    expected +=
        "*UIConstraints:\t*CvMargin " + std::to_string(i) + "\t*PageSize " + IdInQueue() + "\n";
  }
  EXPECT_EQ(tail, expected);
}

// A PPD of another maker: no CvMargin option and no 50x30 page size.
TEST_F(CupsToolTest, PpdWithoutMarginOptionOrFallbackSizeStaysValid) {
  std::string ppd = Data("zr460.ppd");
  const size_t margin_option = ppd.find("*OpenUI *CvMargin");
  ppd.erase(margin_option, ppd.find("*OpenUI *PageSize") - margin_option);
  ppd = ReplaceAll(ReplaceAll(ppd, "50x30/50 x 30", "w62h30/62 x 30"), ": 50x30\n", ": w62h30\n");
  InstallQueue(ppd);
  const std::string id = "CvL0128014ABCDE";
  ASSERT_EQ(Tool({"-P", "zr460", "-n", "S", "-w", "40", "-h", "20", "-specid", id}).status, 0);
  const std::string added = ReadFile(QueuePpd());
  EXPECT_EQ(added.find("*UIConstraints"), std::string::npos);
  EXPECT_TRUE(added.ends_with("*% End of zr460.ppd"));
  // Every default names the label; its removal falls back to the first size.
  InstallQueue(ReplaceAll(added, ": w62h30\n", ": " + id + "\n"));
  ASSERT_EQ(Tool({"-P", "zr460", "-d", "S"}).status, 0);
  EXPECT_EQ(ReadFile(QueuePpd()), ReplaceAll(ppd, ": w62h30\n", ":\tw62h30\n"));
}

TEST_F(CupsToolTest, ListShowsTheFormatsOfThePpdAndTouchesNothing) {
  InstallQueue(Data("zr460.ppd"));
  EXPECT_EQ(Tool({"-list", "zr460"}).out, "");
  ASSERT_EQ(Tool({"-P", "zr460", "-n", "New Label Format", "-w", "29", "-h", "70", "-specid",
                  "CvL101D04600001"})
                .status,
            0);
  ASSERT_EQ(Tool({"-P", "zr460", "-n", "Caf\xc3\xa9 \xe2\x82\xac", "-w", "40.5", "-h", "20",
                  "-specid", "CvL092801400002"})
                .status,
            0);
  const std::string ppd = ReadFile(QueuePpd());
  root.ClearCalls();
  const RunResult listed = Tool({"-list", "zr460"});
  EXPECT_EQ(listed.status, 0);
  EXPECT_EQ(listed.out,
            "CvL101D04600001\t29.00\t70.00\tNew Label Format\n"
            "CvL092801400002\t40.00\t20.00\tCaf\xc3\xa9 \xe2\x82\xac\n");
  EXPECT_TRUE(root.Calls().empty());
  EXPECT_EQ(ReadFile(QueuePpd()), ppd);
  EXPECT_FALSE(Exists(QueuePpd() + ".list"));
  const RunResult missing = Tool({"-list", "absent"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "No such file or directory\n");
}

TEST_F(CupsToolTest, AddingUnderAnExistingNameReplacesIt) {
  InstallQueue(Data("zr460.ppd"));
  ASSERT_EQ(Tool(kWorkedExample).status, 0);
  Args again = kWorkedExample;
  again.insert(again.end(), {"-specid", "CvL101D04600042"});
  root.ClearCalls();
  EXPECT_EQ(Tool(again).status, 0);
  Calls once = ReRegistration(), twice = once;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(root.Calls(), twice);
  EXPECT_EQ(ReadFile(QueuePpd()),
            ReplaceAll(Data("zr460-new-label-format.ppd"), "@ID@", "CvL101D04600042"));
}

TEST_F(CupsToolTest, RemovalDropsTheFormatAndResetsDefaultsThatNamedIt) {
  InstallQueue(ReplaceAll(Data("zr460-label-as-default.ppd"), "@ID@", "CvL101D04612345"));
  EXPECT_EQ(Tool({"-P", "zr460", "-d", "New Label Format"}).status, 0);
  EXPECT_EQ(root.Calls(), ReRegistration());
  EXPECT_EQ(ReadFile(QueuePpd()), Data("zr460-defaults-reset.ppd"));
}

TEST_F(CupsToolTest, RemovingAnAbsentNameOrABadCommandLineTouchesNothing) {
  InstallQueue(Data("zr460.ppd"));
  const struct {
    Args args;
    bool usage;
  } cases[] = {
      {{"-P", "zr460", "-d", "New Label Format"}, false},
      {{"-P", "zr460", "-n", "x", "-w", "256", "-h", "30"}, true},
      {{"-P", "zr/460", "-d", "x"}, true},
      {{"-show", "0", "-P", "zr460"}, false},
  };
  for (const auto& c : cases) {
    RunResult result = Tool(c.args);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out.find(" Usage: cvpapertoolcups -P") != std::string::npos, c.usage);
    EXPECT_TRUE(root.Calls().empty());
    EXPECT_FALSE(Exists(scratch_ppd));
    EXPECT_EQ(ReadFile(QueuePpd()), Data("zr460.ppd"));
  }
}

TEST_F(CupsToolTest, FailedCommandsLeaveTheQueueAndSayWhichCommandFailed) {
  const struct {
    Env env;
    size_t calls;
    const char* failed;
  } cases[] = {
      {{{"STUB_LPOPTIONS_STATUS", "1"}}, 1, "lpoptions -p zr460 failed"},
      {{{"STUB_LPOPTIONS_LINE", "copies=1 printer-info='device-uri=file:///etc/shadow'"}},
       1,
       "lpoptions -p zr460 named no device URI"},
      {{{"STUB_LPADMIN_P_STATUS", "1"}}, 2, "lpadmin -p zr460 -P "},
  };
  for (const auto& c : cases) {
    InstallQueue(Data("zr460.ppd"));
    RunResult result =
        Tool({"-show", "0", "-P", "zr460", "-n", "a", "-w", "29", "-h", "70"}, c.env);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("cvpapertoolcups: queue zr460 not changed: ", 0), 0u) << result.err;
    EXPECT_NE(result.err.find(c.failed), std::string::npos) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1);
    Calls expected = ReRegistration();
    expected.resize(c.calls);
    EXPECT_EQ(root.Calls(), expected) << c.env[0].first;
    EXPECT_EQ(ReadFile(QueuePpd()), Data("zr460.ppd"));
  }
}

TEST_F(CupsToolTest, FileFailuresEndWithStatusOneAndTheReason) {
  RunResult missing = Tool({"-P", "zr460", "-d", "x"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "No such file or directory\n");
  EXPECT_EQ(Tool({"-show", "0", "-P", "zr460", "-d", "x"}).out, "");
  InstallQueue(Data("zr460.ppd"));
  WriteFile(root.Path("/tmp/uri/someone"), "x");  // a name that cannot be cleared
  RunResult blocked = Tool(kWorkedExample);
  EXPECT_EQ(blocked.status, 1);
  EXPECT_EQ(blocked.out, "Directory not empty\n");
  EXPECT_TRUE(root.Calls().empty());
}

TEST_F(CupsToolTest, PlantedLinksAtTheScratchNamesAreNotFollowed) {
  InstallQueue(Data("zr460.ppd"));
  for (const char* name : {"/tmp/pTmpPPD", "/tmp/uri"}) {
    WriteFile(root.Path(name) + "-victim", "victim\n", 0666);
    ASSERT_EQ(symlink((root.Path(name) + "-victim").c_str(), root.Path(name).c_str()), 0);
  }
  EXPECT_EQ(Tool(kWorkedExample).status, 0);
  EXPECT_EQ(root.Calls(), ReRegistration());
  for (const char* name : {"/tmp/pTmpPPD", "/tmp/uri"}) {
    EXPECT_EQ(ReadFile(root.Path(name) + "-victim"), "victim\n");
    struct stat st;
    ASSERT_EQ(lstat(root.Path(name).c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode)) << name;
  }
  EXPECT_NE(IdInQueue(), "");
}

TEST_F(CupsToolTest, ShellSpecialQueueNamesAndLongLinesArriveWhole) {
  const std::string queue = "lab&q$(id)`id`;|>x*";
  const std::string long_line = "*% " + std::string(5000, 'L') + "\n";
  InstallQueue(long_line + Data("zr460.ppd"), queue);
  EXPECT_EQ(Tool({"-P", queue, "-n", "a", "-w", "29", "-h", "70"}).status, 0);
  EXPECT_EQ(root.Calls(), ReRegistration(queue));
  EXPECT_EQ(ReadFile(QueuePpd(queue)).substr(0, long_line.size()), long_line);
}

TEST_F(CupsToolTest, CopyThatCannotBeWrittenWholeRunsNoCommand) {
  std::string big = Data("zr460.ppd") + "\n*% " + std::string(100000, 'x') + "\n";
  InstallQueue(big);
  Args args = {"-c", "trap '' XFSZ; ulimit -f 16; exec \"$0\" \"$@\"",
               testing_support::CupsToolPath()};
  args.insert(args.end(), kWorkedExample.begin(), kWorkedExample.end());
  RunResult result = testing_support::Run("/bin/sh", args, root.ToolEnv());
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "File too large\n");
  EXPECT_TRUE(root.Calls().empty());
  EXPECT_FALSE(Exists(scratch_ppd));
  EXPECT_EQ(ReadFile(QueuePpd()), big);
}

TEST_F(CupsToolTest, TwoAdditionsAtOnceBothLand) {
  InstallQueue(Data("zr460.ppd"));
  RunResult result = testing_support::Run(
      "/bin/sh",
      {"-c",
       "\"$0\" -P zr460 -n A -w 20 -h 70 & a=$!; \"$0\" -P zr460 -n B -w 20 -h 70 "
       "& b=$!; wait $a; s=$?; wait $b; echo $s$?",
       testing_support::CupsToolPath()},
      root.ToolEnv());
  EXPECT_EQ(result.out, "00\n");
  std::string ppd = ReadFile(QueuePpd());
  EXPECT_TRUE(std::regex_search(ppd, std::regex("\\*PageSize CvL\\w+/A:")));
  EXPECT_TRUE(std::regex_search(ppd, std::regex("\\*PageSize CvL\\w+/B:")));
  EXPECT_EQ(root.Calls().size(), 4u);
}

}  // namespace
