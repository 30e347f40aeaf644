// cvpapertoollpr_km3030 run as a process against a private driver tree.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <thread>

#include "lpr_tool.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Env;
using testing_support::Exists;
using testing_support::ModeOf;
using testing_support::ReadFile;
using testing_support::RunResult;
using testing_support::TestRoot;
using testing_support::WriteFile;
using Args = std::vector<std::string>;

const Args kUsageExample = {"-P", "KM-3030", "-n",  "Papar_Name", "-w", "30", "-h",
                            "30", "-g",      "3.0", "-b",         "3",  "-t", "3",
                            "-r", "1.5",     "-l",  "1.5",        "-S", "1"};
const char kTapeList[] = "cvkm3030func";
const char kPrintArea[] = "paperinfkm3030pt1";
const char kSettings[] = "cvkm3030rc";
const char kImaging[] = "ImagingArea";
const char kDimension[] = "PaperDimension";
const char* const kInfoFiles[] = {kTapeList, kPrintArea, kSettings, kImaging, kDimension};

Args With(Args args, const std::map<std::string, std::string>& values) {
  for (const auto& [option, value] : values) {
    for (size_t i = 0; i < args.size(); i += 2) {
      if (args[i] == option) args[i + 1] = value;
    }
  }
  return args;
}

// The last line of `text`, without its line feed.
std::string LastLine(const std::string& text) { return testing_support::SplitLines(text).back(); }

// Ignores SIGXFSZ and caps the size of files written by the programs it starts.
struct FileSizeLimit {
  rlimit old_limit{};
  explicit FileSizeLimit(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &old_limit);
    rlimit small = old_limit;
    small.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &small);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old_limit); }
};

class LprToolTest : public ::testing::Test {
 protected:
  TestRoot root;
  const std::string model_dir = root.Path("/opt/corvane/km3030/bin");
  const std::string inf = model_dir + "/inf";
  const std::string sample_inf = testing_support::SampleDataDir() + "/driver/km3030/bin/inf";

  // The sample driver tree with the logging stand-in as its CUPS tool.
  void SetUp() override {
    fs::create_directories(inf + "/customtape");
    for (const char* name : kInfoFiles) WriteFile(inf + "/" + name, Sample(name));
    InstallCupsTool(testing_support::StubDir() + "/cvpapertoolcups");
  }
  void InstallCupsTool(const std::string& program) {
    WriteFile(model_dir + "/lpd/cvpapertoolcups", ReadFile(program), 0755);
  }
  std::string Sample(const std::string& name) const { return ReadFile(sample_inf + "/" + name); }
  std::string Info(const std::string& name) const { return ReadFile(inf + "/" + name); }
  void WriteInfo(const std::string& name, const std::string& text) {
    WriteFile(inf + "/" + name, text);
  }

  RunResult Lpr(const Args& args, const Env& extra = {}) {
    Env env = root.ToolEnv();
    env.insert(env.end(), extra.begin(), extra.end());
    return testing_support::Run(testing_support::LprToolPath(), args, env, "cvpapertoollpr_km3030");
  }
  // Runs an addition and returns the identifier it handed to the CUPS tool.
  std::string AddExample(const Args& args = kUsageExample) {
    EXPECT_EQ(Lpr(args).status, 0);
    const auto calls = root.Calls();
    return calls.empty() || calls.back().size() != 29 ? "" : calls.back()[26];
  }
  // Every file of the information directory with its mode, for "nothing changed".
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(inf)) {
      const std::string path = entry.path().string();
      if (entry.is_regular_file()) {
        files[path] = std::to_string(ModeOf(path)) + ":" + ReadFile(path);
      }
    }
    return files;
  }
  std::string UsageText() {
    RunResult usage = Lpr({});
    EXPECT_EQ(usage.status, 0);
    return usage.out;
  }
};

TEST_F(LprToolTest, UsageExampleRemovesThenAddsUnderOneIdentifier) {
  const RunResult result = Lpr(kUsageExample);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "");
  const auto calls = root.Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0], (Args{"cvpapertoolcups", "-P", "KM-3030", "-d", "Papar_Name", "-show", "1"}));
  ASSERT_EQ(calls[1].size(), 29u);
  const std::string id = calls[1][26];
  EXPECT_EQ(id.size(), kLabelIdLength);
  EXPECT_EQ(id.substr(0, 10), "CvL0A1E01E");
  EXPECT_EQ(calls[1], (Args{"cvpapertoolcups",
                            "-P",
                            "KM-3030",
                            "-n",
                            "Papar_Name",
                            "-w",
                            "30",
                            "-h",
                            "30",
                            "-l",
                            "1.50",
                            "-t",
                            "3.00",
                            "-r",
                            "1.50",
                            "-b",
                            "3.00",
                            "-g",
                            "3.00",
                            "-S",
                            "1",
                            "-m",
                            "0.00",
                            "-o",
                            "0.00",
                            "-specid",
                            id,
                            "-show",
                            "1"}));

  std::string tape_list = Sample(kTapeList);
  tape_list.insert(tape_list.find("[End]"), id + "/Papar_Name\n");
  EXPECT_EQ(Info(kTapeList), tape_list);
  EXPECT_EQ(Info(kPrintArea), Sample(kPrintArea) + id + "/Papar_Name:\t215\t191\n");
  EXPECT_EQ(Info(kImaging), Sample(kImaging) + id + "\t:\t4.25\t8.50\t80.79\t76.54\n");
  EXPECT_EQ(Info(kDimension), Sample(kDimension) + id + "\t:\t85.04\t85.04\n");
  EXPECT_EQ(Info(kSettings), Sample(kSettings));
  EXPECT_EQ(ModeOf(inf + "/" + kSettings), 0644u);
  for (const char* name : {kTapeList, kPrintArea, kImaging, kDimension}) {
    EXPECT_EQ(ModeOf(inf + "/" + name), 0666u) << name;
  }

  MediaRecord record{};
  LabelGeometry geometry{3, 30, 30, 3, 3, 1.5, 1.5, 0, 0, kResolutionDpi, kMaxPrintWidthDots};
  MakeMediaRecord(record, geometry, 1);
  std::string media(kMediaCommandHeader.begin(), kMediaCommandHeader.end());
  media.append(record.begin(), record.end());
  EXPECT_EQ(ReadFile(inf + "/customtape/Papar_Name.bin"), media);
  for (const auto& [path, content] : Snapshot()) EXPECT_FALSE(path.ends_with(".$$$")) << path;
}

TEST_F(LprToolTest, EntriesFollowTheGeometry) {
  const struct {
    std::map<std::string, std::string> values;
    const char* print_area;
    const char* imaging;
    const char* dimension;
    const char* cups_width;
  } cases[] = {
      {{{"-w", "30.5"}}, "215\t191", "4.25\t8.50\t82.20\t76.54", "86.46\t85.04", "30"},
      {{{"-w", "10"}, {"-l", "6"}, {"-r", "6"}},
       "-15\t191",
       "17.01\t8.50\t11.34\t76.54",
       "28.35\t85.04",
       "10"},
  };
  for (const auto& c : cases) {
    for (const char* name : kInfoFiles) WriteInfo(name, Sample(name));
    root.ClearCalls();
    const std::string id = AddExample(With(kUsageExample, c.values));
    EXPECT_EQ(LastLine(Info(kPrintArea)), id + "/Papar_Name:\t" + c.print_area);
    EXPECT_EQ(LastLine(Info(kImaging)), id + "\t:\t" + c.imaging);
    EXPECT_EQ(LastLine(Info(kDimension)), id + "\t:\t" + c.dimension);
    EXPECT_EQ(root.Calls().at(1).at(6), c.cups_width);
  }
}

TEST_F(LprToolTest, TapeEntryFollowsEveryCustomTapeLineAndJoinsUnfinishedLines) {
  WriteInfo(kTapeList, "[Tape]\nold[CustomTape]x\n62x29/62 mm x 29 mm\n[CustomTape]");
  WriteInfo(kImaging, "50x30\t:\t4.25");
  const std::string id = AddExample();
  const std::string entry = id + "/Papar_Name\n";
  EXPECT_EQ(Info(kTapeList),
            "[Tape]\nold[CustomTape]x\n" + entry + "62x29/62 mm x 29 mm\n[CustomTape]" + entry);
  EXPECT_EQ(Info(kImaging), "50x30\t:\t4.25" + id + "\t:\t4.25\t8.50\t80.79\t76.54\n");

  // Without a "[CustomTape]" line the tape list only changes its mode.
  WriteInfo(kTapeList, "[Tape]\n50x30/50 mm x 30 mm\n");
  const std::string second = AddExample(With(kUsageExample, {{"-n", "Second"}}));
  EXPECT_EQ(Info(kTapeList), "[Tape]\n50x30/50 mm x 30 mm\n");
  EXPECT_EQ(ModeOf(inf + "/" + kTapeList), 0666u);
  EXPECT_EQ(LastLine(Info(kDimension)), second + "\t:\t85.04\t85.04");
}

TEST_F(LprToolTest, RemovalDropsTheFormatEverywhereAndResetsTheSettings) {
  const std::string other = AddExample(With(kUsageExample, {{"-n", "Other"}}));
  std::map<std::string, std::string> before;
  for (const char* name : kInfoFiles) before[name] = Info(name);
  const std::string id = AddExample();
  WriteInfo(kSettings, Sample(kSettings) + "MediaSize=" + id + "\nLastUsed " + id + " x\n");
  root.ClearCalls();

  const RunResult result = Lpr({"-P", "KM-3030", "-d", "Papar_Name"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(
      root.Calls(),
      (std::vector<Args>{{"cvpapertoolcups", "-P", "KM-3030", "-d", "Papar_Name", "-show", "1"}}));
  for (const char* name : {kTapeList, kPrintArea, kImaging, kDimension}) {
    EXPECT_EQ(Info(name), before[name]) << name;
  }
  EXPECT_NE(Info(kPrintArea).find(other + "/Other:"), std::string::npos);
  EXPECT_EQ(Info(kSettings), Sample(kSettings) + "MediaSize=50x30\nMediaSize=50x30\n");
  EXPECT_EQ(ModeOf(inf + "/" + kSettings), 0666u);
  EXPECT_TRUE(Exists(inf + "/customtape/Papar_Name.bin"));
}

TEST_F(LprToolTest, AddingUnderAnExistingNameReplacesIt) {
  AddExample();
  const std::string id = AddExample();
  for (const char* name : {kTapeList, kPrintArea, kImaging, kDimension}) {
    const std::string text = Info(name);
    EXPECT_EQ(text.find("CvL0A1E01E"), text.rfind("CvL0A1E01E")) << name;
    EXPECT_NE(text.find(id), std::string::npos) << name;
  }
}

TEST_F(LprToolTest, FormatMissingFromThePrintAreaFileStopsAfterTheTapeList) {
  const std::string id = "CvL0A1E01E12345";
  std::string tape_list = Sample(kTapeList);
  WriteInfo(kTapeList, tape_list + id + "/Papar_Name\n");
  WriteInfo(kSettings, Sample(kSettings) + "MediaSize=" + id + "\n");
  WriteInfo(kImaging, Sample(kImaging) + id + "\t:\t1.00\t1.00\t1.00\t1.00\n");
  auto before = Snapshot();
  EXPECT_EQ(Lpr({"-P", "KM-3030", "-d", "Papar_Name"}).status, 0);
  auto after = Snapshot();
  EXPECT_EQ(Info(kTapeList), tape_list);
  EXPECT_EQ(ModeOf(inf + "/" + kTapeList), 0666u);
  before.erase(inf + "/" + kTapeList);
  after.erase(inf + "/" + kTapeList);
  EXPECT_EQ(after, before);
}

TEST_F(LprToolTest, RemovingAnAbsentNameChangesNothing) {
  const auto before = Snapshot();
  const RunResult result = Lpr({"-P", "KM-3030", "-d", "Never Added"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(root.Calls().size(), 1u);
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(LprToolTest, FailingCupsToolEndsTheRunBeforeTheInformationFiles) {
  AddExample();
  const Env failing = {{"STUB_CUPSTOOL_STATUS", "3"}};
  for (const Args& args : {kUsageExample, Args{"-P", "KM-3030", "-d", "Papar_Name"}}) {
    const auto before = Snapshot();
    root.ClearCalls();
    const RunResult result = Lpr(args, failing);
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(root.Calls().size(), 1u);
    EXPECT_EQ(Snapshot(), before);
  }
}

TEST_F(LprToolTest, UsageTextLineForLine) {
  EXPECT_EQ(UsageText(),
            "===========================\n"
            " LPRng Paper Size Tool (v 0.1)\tCorvane label printer driver\n"
            " Usage: cvpapertoollpr_xxxx -P KM-xxxx Printer Name [-n add a Label Format Name "
            "(<=99 bytes) -w Media Width(unit:mm) -h Media Height(unit:mm)]/[-d delete Label "
            "Format Name]\n"
            " For example:\n"
            " 1. Add a new Label Format with \"New Label Format\" name and 30mm width and 30mm "
            "length and 3mm label gap:\n"
            "\t\"cvpapertoollpr_km3030 -P KM-3030 -n Papar_Name -w 30 -h 30 -g 3.0 -b 3 -t 3 "
            "-r 1.5 -l 1.5 -S [0/1/2] [-m 0.0 -o 0.0]\" [enter]\n"
            "\tCase of S=0,1 then program not need (-m 0.0  -o 0.0).\n"
            "\t-P Printer Name, eg. KM-3030\n\t-n New Label Name\n\t-w label width\n"
            "\t-h label length\n\t-g label spacing\n\t-b bottom margin\n\t-t top margin\n"
            "\t-r right margin\n\t-l left margin\n"
            "\t-S 0/1/2(0:Continuous Length Tape/1:Die-Cut Label/2:Media With Marks)\n"
            "\t-m mark\n\t-o mark offset\n"
            " 2. Remove the Label Format with \"New Label Format\" name:\n"
            "\t\"cvpapertoollpr_km3030 -P KM-3030 -d Papar_Name\" [enter]\n\n"
            "===========================\n");
  const RunResult invalid = testing_support::Run(testing_support::LprToolPath(), {}, root.ToolEnv(),
                                                 "/usr/bin/cvpapertoollpr_zr999");
  EXPECT_EQ(invalid.status, 0);
  EXPECT_EQ(invalid.out, "/usr/bin/cvpapertoollpr_zr999 is invalid.\n\n");
}

TEST_F(LprToolTest, RefusedCommandLinesTouchNothing) {
  const std::string usage = UsageText();
  const std::string margins =
      "  Error: New custom paper failed.\n\n  Margin value error:\n"
      "    The Left Margin [-l] / Right Margin [-r] 's range is 22.0mm-50.0mm\n";
  const std::pair<Args, std::string> cases[] = {
      {With(kUsageExample, {{"-n", "../../../../etc/cron.d/x"}}), usage},
      {With(kUsageExample, {{"-n", "two\nlines"}}), usage},
      {With(kUsageExample, {{"-w", "256"}}), usage},
      {With(kUsageExample, {{"-l", "0"}}), usage},
      {{"-P", "KM-3030", "-d"}, usage},
      {{"-P", "KM-3030", "-d", "Papar_Name", "-S", "2"}, usage},
      {{"-P", "KM-3030", "-d", "Papar_Name", "-w", "100", "-l", "1", "-r", "1"}, margins},
      {{"-P", "KM-3030", "-n", "Wide", "-w", "100", "-h", "30"}, margins},
  };
  const auto before = Snapshot();
  for (const auto& [args, out] : cases) {
    const RunResult result = Lpr(args);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, out) << ::testing::PrintToString(args);
  }
  EXPECT_TRUE(root.Calls().empty());
  EXPECT_EQ(Snapshot(), before);
  EXPECT_FALSE(Exists(root.Path("/etc/cron.d/x.bin")));
}

TEST_F(LprToolTest, HostileNamesArriveLiterallyAndRunNothing) {
  const fs::path old_dir = fs::current_path();
  fs::current_path(root.dir);  // where a relative "touch" would land
  const std::string added[] = {"a\"; touch pwned; echo \"", "$(touch pwned2)", "`touch pwned3`",
                               "it's \\\" $HOME"};
  for (const std::string& name : added) {
    root.ClearCalls();
    const std::string id =
        AddExample(With(kUsageExample, {{"-n", name}, {"-P", "q;touch pwned4"}}));
    const auto calls = root.Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0][2], "q;touch pwned4");
    EXPECT_EQ(calls[0][4], name);
    EXPECT_EQ(calls[1][4], name);
    EXPECT_EQ(LastLine(Info(kPrintArea)), id + "/" + name + ":\t215\t191");
    EXPECT_TRUE(Exists(inf + "/customtape/" + name + ".bin"));
  }
  const std::string removed = "a\"; touch " + root.dir + "/x; echo \"";
  root.ClearCalls();
  EXPECT_EQ(Lpr({"-P", "KM-3030", "-d", removed}).status, 0);
  EXPECT_EQ(root.Calls().at(0).at(4), removed);
  fs::current_path(old_dir);
  for (const char* planted : {"/pwned", "/pwned2", "/pwned3", "/pwned4", "/x"}) {
    EXPECT_FALSE(Exists(root.Path(planted))) << planted;
  }
}

TEST_F(LprToolTest, MediaFileThatCannotBeWrittenStopsTheRun) {
  fs::remove_all(inf + "/customtape");
  const auto before = Snapshot();
  const RunResult result = Lpr(kUsageExample);
  EXPECT_EQ(result.status, 255);
  EXPECT_EQ(result.out, "No such file or directory\n");
  EXPECT_TRUE(root.Calls().empty());
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(LprToolTest, RewriteThatCannotBeWrittenWholeLeavesTheFileAsItWas) {
  const std::string big(20000, '#');
  const struct {
    const char* big_file;
    bool removal;
    std::vector<const char*> rewritten;  // files done before the failing one
    const char* out;
  } cases[] = {
      {kTapeList, false, {}, ""},
      {kImaging, false, {kTapeList, kPrintArea}, ""},
      {kSettings, true, {kTapeList, kPrintArea}, "File too large\n"},
  };
  for (const auto& c : cases) {
    for (const char* name : kInfoFiles) WriteInfo(name, Sample(name));
    if (c.removal) AddExample();
    WriteInfo(c.big_file, Info(c.big_file) + big + "\n");
    auto before = Snapshot();
    RunResult result;
    {
      FileSizeLimit limit(16384);
      result = Lpr(c.removal ? Args{"-P", "KM-3030", "-d", "Papar_Name"} : kUsageExample);
    }
    EXPECT_EQ(result.status, 255) << c.big_file;
    EXPECT_EQ(result.out, c.out) << c.big_file;
    auto after = Snapshot();
    for (const char* name : c.rewritten) {
      EXPECT_NE(after[inf + "/" + name], before[inf + "/" + name]) << c.big_file << " " << name;
      before.erase(inf + "/" + name);
      after.erase(inf + "/" + name);
    }
    after.erase(inf + "/customtape/Papar_Name.bin");
    before.erase(inf + "/customtape/Papar_Name.bin");
    EXPECT_EQ(after, before) << c.big_file;
  }
}

TEST_F(LprToolTest, EightAdditionsAtOnceAllLand) {
  std::vector<std::thread> runs;
  std::vector<int> statuses(8, -1);
  for (int i = 0; i < 8; ++i) {
    runs.emplace_back([this, i, &statuses] {
      statuses[i] = Lpr(With(kUsageExample, {{"-n", "Label" + std::to_string(i)}})).status;
    });
  }
  for (std::thread& run : runs) run.join();
  for (int i = 0; i < 8; ++i) {
    const std::string name = "Label" + std::to_string(i);
    EXPECT_EQ(statuses[i], 0) << name;
    EXPECT_NE(Info(kTapeList).find("/" + name + "\n"), std::string::npos) << name;
    EXPECT_NE(Info(kPrintArea).find("/" + name + ":\t215\t191\n"), std::string::npos) << name;
  }
  for (const char* name : {kImaging, kDimension}) {
    EXPECT_EQ(testing_support::SplitLines(Info(name)).size(),
              testing_support::SplitLines(Sample(name)).size() + 8)
        << name;
  }
}

}  // namespace
