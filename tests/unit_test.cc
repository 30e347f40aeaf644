// In-process checks of each tool's command line and of the library build it
// uses (compiled once per tool), and of the LPRng tool's media record.
#include <gtest/gtest.h>

#include <cstring>

#include "support.h"

#ifdef UNIT_CUPS
#include "cups_tool.h"
constexpr const char* kTool = "cups";
constexpr int kLookupColumn = 2;
#else
#include "lpr_tool.h"
#include "media_record.h"
constexpr const char* kTool = "lpr";
constexpr int kLookupColumn = 3;
#endif

namespace {

const char* KindName(RunKind kind) {
  constexpr const char* kNames[] = {"usage", "add", "remove", "list"};
  return kNames[static_cast<int>(kind)];
}

TEST(CommandLine, DecidesAsTheTableSays) {
  ts::TestRoot root;
  for (const ts::Args& row : ts::Table("command_lines.tsv")) {
    if (row[0] != kTool && row[0] != "both") continue;
    const ts::Args args(row.begin() + 2, row.end());
#ifdef UNIT_CUPS
    const RunKind kind = ParseCommandLine(args).kind;
#else
    LprRequest request;
    LabelGeometry geometry;
    const RunKind kind = ParseCommandLine(args, &request, &geometry);
#endif
    EXPECT_EQ(KindName(kind), row[1]) << testing::PrintToString(args);
  }
}

TEST(CommandLine, KeepsWholeAndFractionalReadings) {
  ts::TestRoot root;
  const ts::Args args = {"-P",   "q",  "-n", "a",   "-w", "29.9", "-h", "70mm", "-t",
                         "3.25", "-b", "1",  "-l",  "2",  "-r",   "4",  "-g",   "0.5",
                         "-S",   "2",  "-m", "1.5", "-o", "2.5",  "-n", "b"};
#ifdef UNIT_CUPS
  const CommandLine line = ParseCommandLine(args);
  const LabelRequest& request = line.request;
  const LabelGeometry& geometry = line.geometry;
  EXPECT_EQ(request.ppd_path, root.Ppd("q"));
#else
  LprRequest request;
  LabelGeometry geometry;
  ParseCommandLine(args, &request, &geometry);
  EXPECT_EQ(request.printer, "q");
#endif
  EXPECT_EQ(request.label_name, "b");  // a later value replaces an earlier one
  EXPECT_EQ(std::make_tuple(request.width_mm, request.length_mm, request.media_kind),
            std::make_tuple(29, 70, 2));
  EXPECT_EQ(
      std::vector({geometry.width, geometry.length, geometry.top, geometry.bottom, geometry.left,
                   geometry.right, geometry.gap, geometry.mark, geometry.mark_offset}),
      std::vector({29.9, 70.0, 3.25, 1.0, 2.0, 4.0, 0.5, 1.5, 2.5}));
}

TEST(LabelLines, LookupFindsTheFirstWholeNameOfItsBuild) {
  ts::TestRoot root;
  EXPECT_EQ(FormatLabelId(16, 29, 70 + 0x3000, 0x17, 146522), "CvL101D04673C5A");
  for (const ts::Args& row : ts::Table("lookups.tsv")) {
    const std::string path = root.Path("/tmp/lookup");
    std::remove(path.c_str());
    if (row[1] != "-") ts::WriteFile(path, row[1]);
    char id[kLabelIdLength + 1] = "untouched";
    const int found = Lookup_Label(path, row[0], id);
    const std::string& expected = row[kLookupColumn];
    EXPECT_EQ(found == 1 ? std::string(id) : std::to_string(found), expected) << row[1];
  }
  ts::WriteFile(root.Path("/tmp/two.ppd"),
                "*PageSize CvL101D04673C5A/New Label Format:\n*PaperDimension CvL01FF000/x\n"
                "*PageSize x\n*PageSize CvL01FF0000ABCD/x:\n");
  EXPECT_EQ(List_Label(root.Path("/tmp/two.ppd")), 2);
  EXPECT_EQ(ts::ReadFile(root.Path("/tmp/two.ppd.list")), "New Label Format\n29\n70\nx\n255\n0\n");
}

#ifndef UNIT_CUPS
TEST(MediaRecord, HoldsTheGeometryInDotsAtItsOffsets) {
  for (const ts::Args& row : ts::Table("media_records.tsv")) {
    LabelGeometry g;
    double* fields[] = {&g.gap,  &g.width, &g.length, &g.top,        &g.bottom,
                        &g.left, &g.right, &g.mark,   &g.mark_offset};
    for (size_t i = 0; i < 9; ++i) *fields[i] = std::stod(row[i + 1]);
    g.resolution = kResolutionDpi;
    g.max_print_width = kMaxPrintWidthDots;
    MediaRecord expected{}, record{};
    for (size_t i = 10; i < row.size(); ++i) {  // "offset=hex bytes" or "offset:text"
      const size_t at = std::stoul(row[i]), sign = row[i].find_first_of("=:");
      const std::string value = row[i].substr(sign + 1);
      const bool text = row[i][sign] == ':';
      for (size_t k = 0; k < (text ? value.size() : value.size() / 2); ++k) {
        expected[at + k] = text ? value[k] : std::stoi(value.substr(2 * k, 2), nullptr, 16);
      }
    }
    MakeMediaRecord(record, g, std::stoi(row[0]));
    EXPECT_EQ(record, expected) << testing::PrintToString(row);
  }
  EXPECT_EQ(std::vector<int64_t>({RoundDigits(4, 1), RoundDigits(5, 1), RoundDigits(-5, 1),
                                  RoundDigits(1499, 3), RoundDigits(1500, 3)}),
            std::vector<int64_t>({0, 1, -1, 1, 2}));
}

TEST(WideMedia, MarginsMustShareTheOverhang) {
  const struct {
    double width, left, right;
    bool passes;
    const char* range;
  } cases[] = {{62, 3, 31, true, "3.0mm-31.0mm"},
               {62, 2.9, 3, false, "3.0mm-31.0mm"},
               {62, 3, 31.1, false, "3.0mm-31.0mm"},
               {100, 22, 50, true, "22.0mm-50.0mm"},
               {56.06, 0.01, 28, true, "0.0mm-28.0mm"},
               {56.06, 0, 1, false, "0.0mm-28.0mm"},
               {56, 0, 0, true, nullptr}};
  for (const auto& c : cases) {
    LabelGeometry g;
    g.width = c.width, g.left = c.left, g.right = c.right;
    MarginRange range;
    EXPECT_EQ(CheckWideMediaMargins(g, &range), c.passes) << c.width << " " << c.left;
    if (c.range == nullptr) continue;
    EXPECT_EQ(MarginErrorText(range),
              std::string("  Error: New custom paper failed.\n\n  Margin value error:\n"
                          "    The Left Margin [-l] / Right Margin [-r] 's range is ") +
                  c.range + "\n");
  }
}

TEST(Model, FirstKeyOfTheTableInTheProgramName) {
  for (const auto& [program, model] : {std::pair{"cvpapertoollpr_zr410", "zr410"},
                                       {"/x/cvpapertoollpr_zr460", "zr460"},
                                       {"cvpapertoollpr_zr480", "zr480"},
                                       {"cvpapertoollpr_zr560kd", "zr560kd"},
                                       {"cvpapertoollpr_zr630wx", "zr630wx"},
                                       {"cvpapertoollpr_km3030", "km3030"},
                                       {"/opt/zr410/cvpapertoollpr_km3030", "zr410"},
                                       {"cvpapertoollpr_km303", ""}}) {
    EXPECT_EQ(FindModel(program), model) << program;
  }
}
#endif

}  // namespace
