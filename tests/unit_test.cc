// In-process checks of each tool's command line and of its label look-up
// (compiled once per tool), and of the LPRng tool's model detection.
#include <gtest/gtest.h>

#include "label_id.h"
#include "support.h"

#ifdef UNIT_CUPS
#include "cups_tool.h"
constexpr const char* kTool = "cups";
constexpr int kLookupColumn = 2;
#else
#include "lpr_tool.h"
constexpr const char* kTool = "lpr";
constexpr int kLookupColumn = 3;
#endif
RunKind Kind(const ts::Args& args) { return ParseCommandLine(args).kind; }

namespace {

TEST(CommandLine, DecidesAsTheTableSays) {
  ts::TestRoot root;
  constexpr const char* kKinds[] = {"usage", "add", "remove", "list", "sync"};
  for (const ts::Args& row : ts::Table("command_lines.tsv")) {
    if (row[0] != kTool && row[0] != "both") continue;
    const ts::Args args(row.begin() + 2, row.end());
    EXPECT_EQ(kKinds[static_cast<int>(Kind(args))], row[1]) << testing::PrintToString(args);
  }
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
    EXPECT_EQ(found == 1 ? std::string(id) : std::to_string(found), row[kLookupColumn]) << row[1];
  }
  ts::WriteFile(root.Path("/tmp/two.ppd"),
                "*PageSize CvL101D04673C5A/New Label Format:\n*PaperDimension CvL01FF000/x\n"
                "*PageSize x\n*PageSize CvL01FF0000ABCD/x:\n");
  EXPECT_EQ(List_Label(root.Path("/tmp/two.ppd")), 2);
  EXPECT_EQ(ts::ReadFile(root.Path("/tmp/two.ppd.list")), "New Label Format\n29\n70\nx\n255\n0\n");
  EXPECT_EQ(List_Label("/proc/version"), -1);  // readable, but no list can be written beside it
}

#ifndef UNIT_CUPS
TEST(Model, FirstKeyOfTheTableInTheProgramName) {
  for (const ts::Args& row : ts::Table("models.tsv"))
    EXPECT_EQ(FindModel(row[0]), row[1]) << row[0];
}
#endif

}  // namespace
