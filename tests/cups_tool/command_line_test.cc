// The CUPS tool's command line: which lines it accepts and what it reads from them.
#include <gtest/gtest.h>

#include "cups_tool.h"
#include "test_support.h"

namespace {

using Args = std::vector<std::string>;

// The LPRng tool's fixed add line and removal line, as its shell splits them.
Args LprAddLine(const std::string& margin) {
  return {"-P",      "KM-3030",
          "-n",      "Papar Name",
          "-w",      "30",
          "-h",      "30",
          "-l",      margin,
          "-t",      "3.00",
          "-r",      "1.50",
          "-b",      "3.00",
          "-g",      "3.00",
          "-S",      "1",
          "-m",      "0.00",
          "-o",      "0.00",
          "-specid", "CvL0A1E01E73C5A",
          "-show",   "1"};
}
const Args kLprRemoveLine = {"-P", "KM-3030", "-d", "Papar Name", "-show", "1"};

Args Add(const std::string& option, const std::string& value) {
  return {"-P", "q", "-n", "a", "-w", "29", "-h", "70", option, value};
}

TEST(CommandLine, DecidesBetweenAdditionRemovalAndUsage) {
  testing_support::TestRoot root;
  const std::string n33(33, 'x');
  const struct {
    Args args;
    RunKind kind;
  } cases[] = {
      {{}, RunKind::kUsage},
      {{"-P"}, RunKind::kUsage},
      {{"-P", "q"}, RunKind::kUsage},
      {{"-d", "a", "-n", "b"}, RunKind::kUsage},
      {{"-P", "q", "-n", "a", "-w", "29"}, RunKind::kUsage},
      {{"-P", "q", "-n", "a", "-d", "a", "-w", "29", "-h", "70"}, RunKind::kUsage},
      {{"-P", "q", "-n", "a", "-w", "29", "-h", "70"}, RunKind::kAdd},
      {{"-Pxyz", "q", "-nX", "a", "-w", "29", "-h", "70"}, RunKind::kAdd},
      {{"-P", "q", "-d", "a"}, RunKind::kRemove},
      {{"-P", "q", "-d", "-w"}, RunKind::kRemove},
      {{"-P", "q", "-d", "a:b\"c d"}, RunKind::kRemove},  // removal names are not restricted
      {{"-P", "q", "-d", n33}, RunKind::kUsage},
      {{"-P", "q", "-x", "a"}, RunKind::kUsage},
      {LprAddLine("1.50"), RunKind::kAdd},
      {LprAddLine("0.00"), RunKind::kUsage},
      {kLprRemoveLine, RunKind::kRemove},
      {{"-list", "q"}, RunKind::kList},
      {{"-show", "0", "-list", "q"}, RunKind::kList},
      {{"-list", "q", "-P", "q"}, RunKind::kUsage},
      {{"-list", "q", "-d", "a"}, RunKind::kUsage},
      {{"-list", "q/x"}, RunKind::kUsage},
      {Add("-listing", "2"), RunKind::kAdd},  // only "-list" itself lists
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseCommandLine(c.args).kind, c.kind) << ::testing::PrintToString(c.args);
  }
}

TEST(CommandLine, ChecksEachValue) {
  testing_support::TestRoot root;
  const struct {
    std::string option;
    std::vector<std::string> accepted;
    std::vector<std::string> refused;
  } cases[] = {
      {"-w", {"1", "29.9", "255", " 12abc"}, {"0.5", "0", "-3", "abc", "256", "1e999"}},
      {"-h", {"1", "4096"}, {"0", "-1", "x"}},
      {"-g", {"0", "3"}, {"-0.1", "nan"}},
      {"-m", {"0"}, {"-1"}},
      {"-o", {"0"}, {"-1"}},
      {"-S", {"0", "2"}, {"-1"}},
      {"-t", {"0.1"}, {"0", "0.00", "-1", "inf"}},
      {"-b", {"0.1"}, {"0"}},
      {"-l", {"0.1"}, {"0"}},
      {"-r", {"0.1"}, {"0"}},
      {"-n",
       {std::string(32, 'n'), "New Label Format", "caf\xc3\xa9"},
       {std::string(33, 'n'), "", "a:b", "a\"b", "a\nb", "a\tb", "a\x7f"}},
      {"-P",
       {"zr460", "lab&q$(x)", std::string(127, 'q')},
       {std::string(128, 'q'), "../x", "a b", "a\\b", "a?b", "a'b", "a\"b", "a#b", "a\x1f"}},
      {"-specid", {"CvL101D04673C5A", "x"}, {"Cv L", "a:b", "a/b", "a\"b", std::string(33, 'C')}},
      {"-specidX", {"CvL101D04673C5A"}, {}},
      {"-showing", {"0", "x"}, {""}},
      {"-sh", {}, {"1"}},
  };
  for (const auto& c : cases) {
    for (const auto& value : c.accepted) {
      Args args = c.option == "-P" ? Args{"-P", value, "-d", "a"} : Add(c.option, value);
      EXPECT_NE(ParseCommandLine(args).kind, RunKind::kUsage) << c.option << " " << value;
    }
    for (const auto& value : c.refused) {
      Args args = c.option == "-P" ? Args{"-P", value, "-d", "a"} : Add(c.option, value);
      EXPECT_EQ(ParseCommandLine(args).kind, RunKind::kUsage) << c.option << " " << value;
    }
  }
}

TEST(CommandLine, FillsTheRecordsFromTheLastValueOfEachOption) {
  testing_support::TestRoot root;
  CommandLine line =
      ParseCommandLine({"-P", "old",        "-P",      "zr460", "-n", "New Label Format",
                        "-w", "29.9",       "-h",      "70",    "-l", "1.5",
                        "-t", "3",          "-r",      "1.5",   "-b", "3",
                        "-S", "4294967298", "-specid", "CvLX"});
  EXPECT_EQ(line.printer, "zr460");
  EXPECT_EQ(line.request.ppd_path, root.Path("/etc/cups/ppd/zr460.ppd"));
  EXPECT_EQ(line.request.label_name, "New Label Format");
  EXPECT_EQ(line.request.label_id, "CvLX");
  EXPECT_EQ(line.request.width_mm, 29);
  EXPECT_DOUBLE_EQ(line.geometry.width, 29.9);
  EXPECT_EQ(line.request.length_mm, 70);
  EXPECT_EQ(line.request.media_kind, 2);  // kept as 32 bits
  EXPECT_EQ(line.geometry.left + line.geometry.top + line.geometry.bottom, 7.5);
  EXPECT_EQ(line.show_output, 1);
  // "-show" counts only when no refused pair comes before it.
  EXPECT_EQ(ParseCommandLine({"-show", "0", "-w", "0"}).show_output, 0);
  EXPECT_EQ(ParseCommandLine({"-w", "0", "-show", "0"}).show_output, 1);
}

}  // namespace
