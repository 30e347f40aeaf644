// Model detection, the command-line parser, the margin check and the command texts.
#include <gtest/gtest.h>

#include "lpr_tool.h"
#include "test_support.h"

namespace {

using Args = std::vector<std::string>;

TEST(FindModelTest, FirstKeyInTableOrderDecides) {
  const std::pair<const char*, const char*> cases[] = {
      {"cvpapertoollpr_zr410", "zr410"},
      {"/usr/bin/cvpapertoollpr_zr460", "zr460"},
      {"cvpapertoollpr_zr480", "zr480"},
      {"cvpapertoollpr_zr560kd", "zr560kd"},
      {"cvpapertoollpr_zr630wx", "zr630wx"},
      {"cvpapertoollpr_km3030", "km3030"},
      {"cvpapertoollpr_3030_460", "zr460"},
      {"/opt/zr410/cvpapertoollpr_km3030", "zr410"},
      {"cvpapertoollpr", ""},
      {"", ""},
  };
  for (const auto& [program, model] : cases) EXPECT_EQ(FindModel(program), model) << program;
}

struct ParseCase {
  Args args;
  LprAction action;
};

TEST(ParseCommandLineTest, AcceptsAndRefusesAsTheRulesSay) {
  const Args add = {"-P", "KM-3030", "-n", "Papar_Name", "-w", "30", "-h", "30"};
  auto with = [&add](Args more) {
    Args args = add;
    args.insert(args.end(), more.begin(), more.end());
    return args;
  };
  const LprAction kAdd = LprAction::kAdd, kRemove = LprAction::kRemove, kUsage = LprAction::kUsage;
  const ParseCase cases[] = {
      {add, kAdd},
      {{"-P", "q", "-d", "Papar_Name"}, kRemove},
      {{"-Pxyz", "q", "-dfoo", "a/b\n"}, kRemove},  // two characters decide; -d is not restricted
      {{}, kUsage},
      {{"-P"}, kUsage},
      {{"-P", "q", "-d"}, kUsage},
      {{"-P", "q"}, kUsage},
      {{"-n", "x", "-w", "3", "-h", "3"}, kUsage},  // no printer
      {{"-P", "q", "-n", "x", "-w", "3", "-t", "1"}, kUsage},
      {with({"-d", "x"}), kUsage},
      {with({"-x", "1"}), kUsage},
      {with({"-", "1"}), kUsage},
      {with({"-g", ""}), kUsage},
      {with({"-P", std::string(2048, 'q')}), kAdd},
      {with({"-P", std::string(2049, 'q')}), kUsage},
      {with({"-n", std::string(99, 'n')}), kAdd},
      {with({"-n", std::string(100, 'n')}), kUsage},
      {with({"-n", "../../../../etc/cron.d/x"}), kUsage},
      {with({"-n", "a\nb"}), kUsage},
      {with({"-n", "a\x1f"}), kUsage},
      {with({"-n", "a\x7f"}), kUsage},
      {with({"-n", "a\x80 b\"$`\\'"}), kAdd},
      {with({"-w", "0.5"}), kUsage},
      {with({"-w", "abc"}), kUsage},
      {with({"-w", "255.9"}), kAdd},
      {with({"-w", "256"}), kUsage},
      {with({"-h", "0"}), kUsage},
      {with({"-h", "5000"}), kAdd},
      {with({"-g", "0", "-m", "0", "-o", "0", "-S", "0"}), kAdd},
      {with({"-g", "-0.1"}), kUsage},
      {with({"-t", "0"}), kUsage},
      {with({"-b", "0"}), kUsage},
      {with({"-l", "0"}), kUsage},
      {with({"-r", "-1"}), kUsage},
      {with({"-S", "-1"}), kUsage},
      {with({"-S", "7"}), kAdd},
      {with({"-S", "2", "-m", "1"}), kUsage},
      {with({"-S", "2", "-m", "1", "-o", "0"}), kAdd},
      {{"-P", "q", "-d", "x", "-S", "2"}, kUsage},
      {with({"-m", "nan"}), kUsage},
  };
  for (const ParseCase& c : cases) {
    LprRequest request;
    LabelGeometry geometry;
    EXPECT_EQ(ParseCommandLine(c.args, &request, &geometry), c.action)
        << ::testing::PrintToString(c.args);
  }
}

TEST(ParseCommandLineTest, StoresTheReadings) {
  LprRequest request;
  LabelGeometry geometry;
  ASSERT_EQ(ParseCommandLine({"-P", "KM-3030", "-n", "a long first name",
                              "-n", "short",   "-w", "30.7",
                              "-h", "30mm",    "-g", "3.0",
                              "-t", "3",       "-b", "2.5",
                              "-l", "1.5",     "-r", "1.25",
                              "-S", "2",       "-m", "2",
                              "-o", "1"},
                             &request, &geometry),
            LprAction::kAdd);
  EXPECT_EQ(request.printer, "KM-3030");
  EXPECT_EQ(request.label_name, "short");
  EXPECT_EQ(request.width_mm, 30);
  EXPECT_EQ(request.length_mm, 30);
  EXPECT_EQ(request.media_kind, 2);
  const double stored[] = {geometry.gap,   geometry.width,  geometry.length,
                           geometry.top,   geometry.bottom, geometry.left,
                           geometry.right, geometry.mark,   geometry.mark_offset};
  const double expected[] = {3.0, 30.7, 30.0, 3.0, 2.5, 1.5, 1.25, 2.0, 1.0};
  for (size_t i = 0; i < std::size(expected); ++i) EXPECT_DOUBLE_EQ(stored[i], expected[i]) << i;
}

TEST(MarginCheckTest, WideLabelsKeepTheirMarginsInRange) {
  const struct {
    double width;
    const char* range;  // "" when the check does not apply
  } cases[] = {{62, "3.0mm-31.0mm"},
               {100, "22.0mm-50.0mm"},
               {56.06, "0.0mm-28.0mm"},
               {56.0, ""},
               {56.055, ""}};
  for (const auto& c : cases) {
    LabelGeometry geometry;
    geometry.width = c.width;
    MarginRange range;
    const bool fits = CheckWideMediaMargins(geometry, &range);
    EXPECT_EQ(fits, c.range[0] == '\0') << c.width;
    if (fits) continue;
    EXPECT_EQ(MarginErrorText(range),
              std::string("  Error: New custom paper failed.\n\n  Margin value error:\n"
                          "    The Left Margin [-l] / Right Margin [-r] 's range is ") +
                  c.range + "\n");
    // The bounds themselves pass; just outside them does not.
    const double lower = range.lower, upper = range.upper;
    const struct {
      double left, right;
      bool fits;
    } margins[] = {
        {lower, upper, true}, {lower - 0.001, upper, false}, {lower, upper + 0.001, false}};
    for (const auto& m : margins) {
      geometry.left = m.left;
      geometry.right = m.right;
      EXPECT_EQ(CheckWideMediaMargins(geometry, &range), m.fits) << c.width << " " << m.left;
    }
  }
}

TEST(CupsCommandTest, OrdinaryValuesGiveTheTraditionalTexts) {
  testing_support::TestRoot root;
  LprRequest request;
  request.model = "km3030";
  request.printer = "KM-3030";
  request.label_name = "Papar_Name";
  request.width_mm = 30;
  request.length_mm = 30;
  request.media_kind = 1;
  LabelGeometry geometry;
  geometry.gap = 3;
  geometry.top = 3;
  geometry.bottom = 3;
  geometry.left = 1.5;
  geometry.right = 1.5;
  const std::string tool = root.dir + "/opt/corvane/km3030/bin/lpd/cvpapertoolcups";
  EXPECT_EQ(RemovalCommand(request), tool + "   -P KM-3030 -d \"Papar_Name\" -show 1");
  EXPECT_EQ(AdditionCommand(request, geometry, "CvL0A1E01E7ABCD"),
            tool +
                " -P KM-3030 -n \"Papar_Name\" -w 30 -h 30 -l 1.50 -t 3.00 -r 1.50 -b 3.00 "
                "-g 3.00 -S 1 -m 0.00 -o 0.00 -specid CvL0A1E01E7ABCD -show 1");
  request.printer = "it's";
  request.label_name = "say \"$x\" `y` \\";
  EXPECT_EQ(RemovalCommand(request),
            tool + "   -P 'it'\\''s' -d \"say \\\"\\$x\\\" \\`y\\` \\\\\" -show 1");
}

}  // namespace
