// Model detection, the command-line parser, the margin check and the command texts.
#include <gtest/gtest.h>

#include "driver_tree.h"
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
      {"/opt/zr410/cvpapertoollpr_km3030", "zr410"},
      {"cvpapertoollpr", ""}};
  for (const auto& [program, model] : cases) EXPECT_EQ(FindModel(program), model) << program;
}

TEST(ParseCommandLineTest, AcceptsAndRefusesAsTheRulesSay) {
  const Args add = {"-P", "KM-3030", "-n", "Papar_Name", "-w", "30", "-h", "30"};
  auto with = [&add](Args more) {
    more.insert(more.begin(), add.begin(), add.end());
    return more;
  };
  const auto kAdd = RunKind::kAdd, kRemove = RunKind::kRemove, kUsage = RunKind::kUsage;
  const std::pair<Args, RunKind> cases[] = {
      {add, kAdd},
      {{"-Pxyz", "q", "-dfoo", "a/b\n"}, kRemove},  // two characters decide; -d is not restricted
      {{}, kUsage},
      {{"-P", "q", "-d"}, kUsage},
      {{"-P", "q"}, kUsage},
      {{"-n", "x", "-w", "3", "-h", "3"}, kUsage},
      {{"-P", "q", "-n", "x", "-w", "3", "-t", "1"}, kUsage},
      {with({"-d", "x"}), kUsage},
      {with({"-x", "1"}), kUsage},
      {with({"-g", ""}), kUsage},
      {with({"-P", std::string(2048, 'q'), "-n", std::string(99, 'n')}), kAdd},
      {with({"-P", std::string(2049, 'q')}), kUsage},
      {with({"-n", std::string(100, 'n')}), kUsage},
      {with({"-n", "../../../../etc/cron.d/x"}), kUsage},
      {with({"-n", "a\nb"}), kUsage},
      {with({"-n", "a\x7f"}), kUsage},
      {with({"-n", "a\x80 b\"$`\\'"}), kAdd},
      {with({"-w", "0.5"}), kUsage},
      {with({"-w", "255.9"}), kAdd},
      {with({"-w", "256"}), kUsage},
      {with({"-h", "0"}), kUsage},
      {with({"-g", "0", "-m", "0", "-o", "0", "-S", "0", "-t", "0.1"}), kAdd},
      {with({"-g", "-0.1"}), kUsage},
      {with({"-t", "0"}), kUsage},
      {with({"-r", "-1"}), kUsage},
      {with({"-S", "-1"}), kUsage},
      {with({"-S", "7"}), kAdd},
      {with({"-S", "2", "-m", "1"}), kUsage},
      {{"-P", "q", "-d", "x", "-S", "2", "-o", "1"}, kUsage},
      {with({"-t", "inf"}), kUsage},
      {with({"-g", "inf"}), kUsage},
      {with({"-m", "nan"}), kUsage},
      {with({"-o", "1e999"}), kUsage},
      {with({"-h", "30e999"}), kUsage},
      {with({"-w", "3e999"}), kUsage},
      {{"-list", "KM-3030"}, RunKind::kList},
      {{"-list", "KM-3030", "-d", "x"}, kUsage},
      {{"-list", "q", "-P", "q"}, kUsage},
      {with({"-lis", "2"}), kAdd},
  };
  for (const auto& [args, action] : cases) {
    LprRequest request;
    LabelGeometry geometry;
    EXPECT_EQ(ParseCommandLine(args, &request, &geometry), action) << testing::PrintToString(args);
  }
  LprRequest request;
  LabelGeometry geometry;
  ASSERT_EQ(ParseCommandLine(with({"-n", "short", "-w", "30.7", "-h", "30mm", "-S", "2", "-m", "2",
                                   "-o", "1", "-l", "1.25"}),
                             &request, &geometry),
            kAdd);
  EXPECT_EQ(request.label_name, "short");
  EXPECT_EQ(request.width_mm, 30);
  EXPECT_EQ(request.length_mm, 30);
  EXPECT_EQ(request.media_kind, 2);
  EXPECT_EQ(std::vector({geometry.width, geometry.length, geometry.mark, geometry.mark_offset,
                         geometry.left}),
            std::vector({30.7, 30.0, 2.0, 1.0, 1.25}));
}

TEST(MarginCheckTest, WideLabelsKeepTheirMarginsInRange) {
  const std::pair<double, const char*> cases[] = {
      {62, "3.0mm-31.0mm"}, {100, "22.0mm-50.0mm"}, {56.06, "0.0mm-28.0mm"}, {56.055, ""}};
  for (const auto& [width, text] : cases) {
    LabelGeometry geometry;
    geometry.width = width;
    MarginRange range;
    ASSERT_EQ(CheckWideMediaMargins(geometry, &range), text[0] == '\0') << width;
    if (text[0] == '\0') continue;
    EXPECT_EQ(
        MarginErrorText(range),
        std::string("  Error: New custom paper failed.\n\n  Margin value error:\n    The Left "
                    "Margin [-l] / Right Margin [-r] 's range is ") +
            text + "\n");
    const double lower = range.lower, upper = range.upper;  // bounds themselves pass
    for (const auto& [left, right, fits] : {std::tuple{lower, upper, true},
                                            {lower - 1e-3, upper, false},
                                            {lower, upper + 1e-3, false}}) {
      geometry.left = left;
      geometry.right = right;
      EXPECT_EQ(CheckWideMediaMargins(geometry, &range), fits) << width << " " << left;
    }
  }
}

TEST(CupsCommandTest, OrdinaryValuesStayBareOthersAreQuoted) {
  testing_support::TestRoot root;
  const LprRequest request{"", "km3030", "KM-3030", "Papar_Name", 30, 30, 1};
  const LabelGeometry geometry{3, 30, 30, 3, 3, 1.5, 1.5, 0, 0, 0, 0};
  const std::string tool = root.dir + "/opt/corvane/km3030/bin/lpd/cvpapertoolcups";
  EXPECT_EQ(RemovalCommand(request), tool + " -P KM-3030 -d Papar_Name -show 1");
  EXPECT_EQ(AdditionCommand(request, geometry, "CvL0A1E01E7ABCD"),
            tool +
                " -P KM-3030 -n Papar_Name -w 30 -h 30 -l 1.50 -t 3.00 -r 1.50 -b 3.00 "
                "-g 3.00 -S 1 -m 0.00 -o 0.00 -specid CvL0A1E01E7ABCD -show 1");
  const LprRequest odd{"", "km3030", "it's", "say \"$x\" `y` \\", 30, 30, 1};
  EXPECT_EQ(RemovalCommand(odd),
            tool + " -P 'it'\\''s' -d 'say \"$x\" `y` \\' -show 1");
}

}  // namespace
