// cvpapertoollpr_km3030 run as a process against a private driver tree.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <regex>
#include <thread>

#include "lpr_tool.h"
#include "media_record.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
namespace ts = testing_support;
using Args = std::vector<std::string>;

const Args kExample = {"-P", "KM-3030", "-n", "Papar_Name", "-w", "30",  "-h", "30",  "-g", "3.0",
                       "-b", "3",       "-t", "3",          "-r", "1.5", "-l", "1.5", "-S", "1"};
const Args kRemoval = {"-P", "KM-3030", "-d", "Papar_Name"};
const char *kTapeList = "cvkm3030func", *kPrintArea = "paperinfkm3030pt1",
           *kSettings = "cvkm3030rc", *kImaging = "ImagingArea", *kDimension = "PaperDimension";
const char* const kInfoFiles[] = {kTapeList, kPrintArea, kSettings, kImaging, kDimension};

Args With(Args args, const std::map<std::string, std::string>& values) {
  for (size_t i = 0; i < args.size(); i += 2) {
    if (values.contains(args[i])) args[i + 1] = values.at(args[i]);
  }
  return args;
}

std::string LastLine(const std::string& text) { return ts::SplitLines(text).back(); }

class LprToolTest : public ::testing::Test {
 protected:
  ts::TestRoot root;
  const std::string inf = root.Path("/opt/corvane/km3030/bin/inf");

  // The sample driver tree, with the logging stand-in as its CUPS tool.
  void SetUp() override {
    fs::create_directories(inf + "/customtape");
    for (const char* name : kInfoFiles) WriteInfo(name, Sample(name));
    InstallCupsTool(ts::StubDir() + "/cvpapertoolcups");
  }
  void InstallCupsTool(const std::string& program) {
    ts::WriteFile(root.Path("/opt/corvane/km3030/bin/lpd/cvpapertoolcups"), ts::ReadFile(program),
                  0755);
  }
  std::string Sample(const std::string& name) {
    return ts::ReadFile(ts::SampleDataDir() + "/driver/km3030/bin/inf/" + name);
  }
  std::string Info(const std::string& name) { return ts::ReadFile(inf + "/" + name); }
  void WriteInfo(const std::string& name, const std::string& text) {
    ts::WriteFile(inf + "/" + name, text);
  }
  ts::RunResult Lpr(const Args& args, const ts::Env& extra = {}) {
    ts::Env env = root.ToolEnv();
    env.insert(env.end(), extra.begin(), extra.end());
    return ts::Run(ts::LprToolPath(), args, env, "cvpapertoollpr_km3030");
  }
  // Runs an addition and returns the identifier it handed to the CUPS tool.
  std::string Add(const Args& args = kExample) {
    EXPECT_EQ(Lpr(args).status, 0);
    const auto calls = root.Calls();
    return calls.empty() || calls.back().size() != 29 ? "" : calls.back()[26];
  }
  // Mode and content of every file under the information directory.
  std::map<std::string, std::string> Snapshot() {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(inf)) {
      const std::string path = entry.path().string();
      if (entry.is_regular_file())
        files[path] = std::to_string(ts::ModeOf(path)) + ts::ReadFile(path);
    }
    return files;
  }
};

TEST_F(LprToolTest, UsageExampleRemovesThenAddsUnderOneIdentifier) {
  const ts::RunResult result = Lpr(kExample);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "");
  const auto calls = root.Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0], (Args{"cvpapertoolcups", "-P", "KM-3030", "-d", "Papar_Name", "-show", "1"}));
  ASSERT_EQ(calls[1].size(), 29u);
  const std::string id = calls[1][26];
  EXPECT_TRUE(std::regex_match(id, std::regex("CvL0A1E01E[0-9A-F]{5}"))) << id;
  EXPECT_EQ(calls[1], testing_support::UsageExampleCupsAddition("KM-3030", "Papar_Name", id));
  std::string tape_list = Sample(kTapeList);
  tape_list.insert(tape_list.find("[CustomTape]\n") + 13, id + "/Papar_Name\n");
  EXPECT_EQ(Info(kTapeList), tape_list);
  EXPECT_EQ(Info(kPrintArea), Sample(kPrintArea) + id + "/Papar_Name:\t215\t191\n");
  EXPECT_EQ(Info(kImaging), Sample(kImaging) + id + "\t:\t4.25\t8.50\t80.79\t76.54\n");
  EXPECT_EQ(Info(kDimension), Sample(kDimension) + id + "\t:\t85.04\t85.04\n");
  EXPECT_EQ(Info(kSettings), Sample(kSettings));
  for (const char* name : kInfoFiles) {
    EXPECT_EQ(ts::ModeOf(inf + "/" + name), std::string_view(name) == kSettings ? 0644u : 0666u)
        << name;
  }
  MediaRecord record{};
  MakeMediaRecord(record, {3, 30, 30, 3, 3, 1.5, 1.5, 0, 0, kResolutionDpi, kMaxPrintWidthDots}, 1);
  std::string media(kMediaCommandHeader.begin(), kMediaCommandHeader.end());
  EXPECT_EQ(ts::ReadFile(inf + "/customtape/Papar_Name.bin"),
            media.append(record.begin(), record.end()));
  for (const auto& [path, content] : Snapshot()) EXPECT_FALSE(path.ends_with(".$$$")) << path;
}

TEST_F(LprToolTest, EntriesFollowTheGeometry) {
  const struct {
    std::map<std::string, std::string> values;
    const char *cups_width, *print_area, *imaging, *dimension;
  } cases[] = {
      {{{"-w", "30.5"}}, "30", "215\t191", "4.25\t8.50\t82.20\t76.54", "86.46\t85.04"},
      {{{"-w", "10"}, {"-l", "6"}, {"-r", "6"}},
       "10",
       "-15\t191",
       "17.01\t8.50\t11.34\t76.54",
       "28.35\t85.04"},
  };
  for (const auto& c : cases) {
    const std::string id = Add(With(kExample, c.values));
    EXPECT_EQ(root.Calls().back()[6], c.cups_width);
    EXPECT_EQ(LastLine(Info(kPrintArea)), id + "/Papar_Name:\t" + c.print_area);
    EXPECT_EQ(LastLine(Info(kImaging)), id + "\t:\t" + c.imaging);
    EXPECT_EQ(LastLine(Info(kDimension)), id + "\t:\t" + c.dimension);
  }
}

TEST_F(LprToolTest, TapeEntryFollowsEveryCustomTapeLineAndLinesStayWhole) {
  WriteInfo(kTapeList, "[Tape]\nold[CustomTape]x\n62x29/62 mm x 29 mm\n[CustomTape]");
  WriteInfo(kImaging, "50x30\t:\t4.25");
  const std::string long_line = std::string(5000, 'x') + "\n", printer(2048, 'q');
  WriteInfo(kPrintArea, long_line);
  const std::string id = Add(With(kExample, {{"-P", printer}})), entry = id + "/Papar_Name\n";
  EXPECT_EQ(root.Calls().back()[2], printer);
  EXPECT_EQ(Info(kPrintArea), long_line + id + "/Papar_Name:\t215\t191\n");
  EXPECT_EQ(Info(kTapeList),
            "[Tape]\nold[CustomTape]x\n" + entry + "62x29/62 mm x 29 mm\n[CustomTape]" + entry);
  EXPECT_EQ(Info(kImaging), "50x30\t:\t4.25" + id + "\t:\t4.25\t8.50\t80.79\t76.54\n");
  // Without a "[CustomTape]" line the tape list file only gets mode 0666.
  WriteInfo(kTapeList, "[Tape]\n");
  const std::string second = Add(With(kExample, {{"-n", "Second"}}));
  EXPECT_EQ(Info(kTapeList), "[Tape]\n");
  EXPECT_EQ(ts::ModeOf(inf + "/" + kTapeList), 0666u);
  EXPECT_EQ(LastLine(Info(kDimension)), second + "\t:\t85.04\t85.04");
}

TEST_F(LprToolTest, ReAddingReplacesAndRemovalDropsTheFormatAndResetsSettings) {
  Add(With(kExample, {{"-n", "Other"}}));
  std::map<std::string, std::string> before;
  for (const char* name : kInfoFiles) before[name] = Info(name);
  Add();
  const std::string id = Add();
  EXPECT_EQ(Info(kPrintArea), before[kPrintArea] + id + "/Papar_Name:\t215\t191\n");
  WriteInfo(kSettings, before[kSettings] + "MediaSize=" + id + "\nLast " + id + "\n");
  root.ClearCalls();
  const ts::RunResult result = Lpr(kRemoval);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(root.Calls().size(), 1u);
  before[kSettings] += "MediaSize=50x30\nMediaSize=50x30\n";
  for (const char* name : kInfoFiles) EXPECT_EQ(Info(name), before[name]) << name;
  EXPECT_TRUE(ts::Exists(inf + "/customtape/Papar_Name.bin"));
}

TEST_F(LprToolTest, FormatMissingFromThePrintAreaFileStopsAfterTheTapeList) {
  const std::string id = "CvL0A1E01E12345";
  WriteInfo(kTapeList, Sample(kTapeList) + id + "/Papar_Name\n");
  WriteInfo(kSettings, Sample(kSettings) + "MediaSize=" + id + "\n");
  WriteInfo(kImaging, Sample(kImaging) + id + "\t:\t1.00\t1.00\t1.00\t1.00\n");
  auto before = Snapshot();
  EXPECT_EQ(Lpr(kRemoval).status, 0);
  auto after = Snapshot();
  EXPECT_EQ(after[inf + "/" + kTapeList], "438" + Sample(kTapeList));  // mode 0666
  after.erase(inf + "/" + kTapeList);
  before.erase(inf + "/" + kTapeList);
  EXPECT_EQ(after, before);
}

TEST_F(LprToolTest, UsageTextAndInvalidProgramName) {
  EXPECT_EQ(Lpr({}).out,
            "===========================\n"
            " LPRng Paper Size Tool (v 0.1)\tCorvane label printer driver\n"
            " Usage: cvpapertoollpr_xxxx -P KM-xxxx Printer Name [-n add a Label Format Name "
            "(<=99 bytes) -w Media Width(unit:mm) -h Media Height(unit:mm)]/[-d delete Label "
            "Format Name]\n For example:\n"
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
  const auto invalid = ts::Run(ts::LprToolPath(), {}, root.ToolEnv(), "/bin/cvpapertoollpr_zr9");
  EXPECT_EQ(invalid.status, 0);
  EXPECT_EQ(invalid.out, "/bin/cvpapertoollpr_zr9 is invalid.\n\n");
}

TEST_F(LprToolTest, RunsThatChangeNoInformationFile) {
  const std::string usage = Lpr({}).out;
  const std::string margins =
      "  Error: New custom paper failed.\n\n  Margin value error:\n"
      "    The Left Margin [-l] / Right Margin [-r] 's range is 22.0mm-50.0mm\n";
  const ts::Env failing_cups = {{"STUB_CUPSTOOL_STATUS", "3"}};
  const struct {
    Args args;
    ts::Env env;
    int status;
    std::string out;
    size_t cups_calls;
  } cases[] = {
      {With(kExample, {{"-n", "../../../../etc/cron.d/x"}}), {}, 0, usage, 0},
      {With(kExample, {{"-n", "two\nlines"}}), {}, 0, usage, 0},
      {With(kExample, {{"-w", "256"}}), {}, 0, usage, 0},
      {{"-P", "KM-3030", "-d", "Papar_Name", "-S", "2"}, {}, 0, usage, 0},
      {{"-P", "KM-3030", "-d", "Papar_Name", "-w", "100", "-l", "1", "-r", "1"}, {}, 0, margins, 0},
      {{"-P", "KM-3030", "-n", "Wide", "-w", "100", "-h", "30"}, {}, 0, margins, 0},
      {kRemoval, {}, 0, "", 1},  // absent name
      {kRemoval, failing_cups, 255, "", 1},
      {kExample, failing_cups, 255, "", 1},
  };
  const auto before = Snapshot();
  for (const auto& c : cases) {
    root.ClearCalls();
    const ts::RunResult result = Lpr(c.args, c.env);
    EXPECT_EQ(result.status, c.status) << testing::PrintToString(c.args);
    EXPECT_EQ(result.out, c.out) << testing::PrintToString(c.args);
    EXPECT_EQ(root.Calls().size(), c.cups_calls) << testing::PrintToString(c.args);
    fs::remove(inf + "/customtape/Papar_Name.bin");
    EXPECT_EQ(Snapshot(), before) << testing::PrintToString(c.args);
  }
  fs::remove_all(inf + "/customtape");  // the media file cannot be created
  root.ClearCalls();
  const ts::RunResult result = Lpr(kExample);
  EXPECT_EQ(result.status, 255);
  EXPECT_EQ(result.out, "No such file or directory\n");
  EXPECT_TRUE(root.Calls().empty());
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(LprToolTest, HostileNamesArriveLiterallyAndRunNothing) {
  const fs::path old_dir = fs::current_path();
  fs::current_path(root.dir);  // where a relative "touch" would land
  for (const std::string name : {"a\"; touch pwned; echo \"", "$(touch pwned)", "`touch pwned`"}) {
    root.ClearCalls();
    const std::string id = Add(With(kExample, {{"-n", name}, {"-P", "q;touch pwned"}}));
    const auto calls = root.Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0][2] + calls[0][4] + calls[1][4], "q;touch pwned" + name + name);
    EXPECT_EQ(LastLine(Info(kPrintArea)), id + "/" + name + ":\t215\t191");
  }
  const std::string removed = "a\"; touch " + root.dir + "/pwned; echo \"";
  EXPECT_EQ(Lpr({"-P", "KM-3030", "-d", removed}).status, 0);
  EXPECT_EQ(root.Calls().back().at(4), removed);
  fs::current_path(old_dir);
  EXPECT_FALSE(ts::Exists(root.Path("/pwned")));
}

TEST_F(LprToolTest, RewriteThatCannotBeWrittenWholeLeavesTheFileAsItWas) {
  const struct {
    const char* big_file;
    Args args;
    std::vector<const char*> rewritten;  // files done before the failing one
    const char* out;
  } cases[] = {{kTapeList, kExample, {}, ""},
               {kImaging, kExample, {kTapeList, kPrintArea}, ""},
               {kSettings, kRemoval, {kTapeList, kPrintArea}, "File too large\n"}};
  std::signal(SIGXFSZ, SIG_IGN);
  for (const auto& c : cases) {
    for (const char* name : kInfoFiles) WriteInfo(name, Sample(name));
    if (c.args == kRemoval) Add();
    WriteInfo(c.big_file, Info(c.big_file) + std::string(20000, '#') + "\n");
    auto before = Snapshot();
    rlimit old_limit, small;
    getrlimit(RLIMIT_FSIZE, &old_limit);
    small = old_limit;
    small.rlim_cur = 16384;
    setrlimit(RLIMIT_FSIZE, &small);
    const ts::RunResult result = Lpr(c.args);
    setrlimit(RLIMIT_FSIZE, &old_limit);
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
      statuses[i] = Lpr(With(kExample, {{"-n", "Label" + std::to_string(i)}})).status;
    });
  }
  for (std::thread& run : runs) run.join();
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(statuses[i], 0) << i;
    const std::string name = "/Label" + std::to_string(i);
    EXPECT_NE(Info(kTapeList).find(name + "\n"), std::string::npos) << i;
    EXPECT_NE(Info(kPrintArea).find(name + ":\t215\t191\n"), std::string::npos) << i;
  }
  for (const char* name : {kImaging, kDimension}) {
    EXPECT_EQ(ts::SplitLines(Info(name)).size(), ts::SplitLines(Sample(name)).size() + 8) << name;
  }
}

TEST_F(LprToolTest, WholeRoadPutsOneIdentifierIntoThePpdAndTheInformationFiles) {
  InstallCupsTool(ts::CupsToolPath());
  const std::string seed = ts::SampleDataDir() + "/ppd/label-printer.ppd";
  ts::Run(ts::StubDir() + "/lpadmin",
          {"-p", "KM-3030", "-E", "-v", "usb://Corvane/KM-3030", "-P", seed}, root.ToolEnv());
  const std::string queue_ppd = root.Path("/etc/cups/ppd/KM-3030.ppd");
  std::smatch match;
  ASSERT_EQ(Lpr(kExample).status, 0);
  const std::string ppd = ts::ReadFile(queue_ppd);
  ASSERT_TRUE(
      std::regex_search(ppd, match, std::regex("\\*PageSize (CvL0A1E01E\\w{5})/Papar_Name:")));
  EXPECT_EQ(LastLine(Info(kPrintArea)), match[1].str() + "/Papar_Name:\t215\t191");
  EXPECT_EQ(LastLine(Info(kDimension)), match[1].str() + "\t:\t85.04\t85.04");
  // A name too long for the PPD still reaches the information files.
  const std::string long_name(40, 'L');
  ASSERT_EQ(Lpr(With(kExample, {{"-n", long_name}})).status, 0);
  EXPECT_NE(Info(kTapeList).find("/" + long_name + "\n"), std::string::npos);
  EXPECT_EQ(ts::ReadFile(queue_ppd).find(long_name), std::string::npos);
  ASSERT_EQ(Lpr(kRemoval).status, 0);
  ASSERT_EQ(Lpr({"-P", "KM-3030", "-d", long_name}).status, 0);
  EXPECT_EQ(ts::ReadFile(queue_ppd), ts::ReadFile(seed));
  for (const char* name : kInfoFiles) EXPECT_EQ(Info(name), Sample(name)) << name;
}

TEST_F(LprToolTest, ListShowsTheInformationFilesBesideThePpd) {
  const std::string cafe = "Caf\xc3\xa9 \xe2\x82\xac", both = "CvL101D04600001",
                    info_only = "CvL092801400002";
  std::string tape_list = Sample(kTapeList);
  tape_list.insert(tape_list.find("[CustomTape]\n") + 13,
                   both + "/New Label Format\n" + info_only + "/" + cafe + "\n");
  WriteInfo(kTapeList, tape_list);
  WriteInfo(kDimension, Sample(kDimension) + info_only + "\t:\t114.80\t56.69\n" + both +
                            "\t:\t82.20\t198.43\n");
  // The PPD holds the first format and one of its own.
  InstallCupsTool(ts::CupsToolPath());
  ts::Run(ts::StubDir() + "/lpadmin",
          {"-p", "KM-3030", "-v", "usb://x", "-P", ts::SampleDataDir() + "/ppd/label-printer.ppd"},
          root.ToolEnv());
  for (const Args& add : {Args{"-n", "New Label Format", "-specid", both},
                          Args{"-n", "PPD only", "-specid", "CvL081E01E00003"}}) {
    Args args = {"-P", "KM-3030", "-w", "29", "-h", "70"};
    args.insert(args.end(), add.begin(), add.end());
    ASSERT_EQ(ts::Run(ts::CupsToolPath(), args, root.ToolEnv()).status, 0);
  }
  const auto before = Snapshot();
  const std::string listed = both + "\t29.00\t70.00\tNew Label Format\t%\n" + info_only +
                             "\t40.50\t20.00\t" + cafe + "\t#\n";
  const ts::RunResult result = Lpr({"-list", "KM-3030"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, std::regex_replace(std::regex_replace(listed, std::regex("%"), "ppd"),
                                           std::regex("#"), "-"));
  // Without a working CUPS tool the PPD column is unknown.
  InstallCupsTool(ts::StubDir() + "/cvpapertoolcups");
  EXPECT_EQ(Lpr({"-list", "KM-3030"}, {{"STUB_CUPSTOOL_STATUS", "1"}}).out,
            std::regex_replace(listed, std::regex("[%#]"), "?"));
  EXPECT_EQ(Snapshot(), before);
}

}  // namespace
