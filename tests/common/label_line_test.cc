// Label identifiers, taking label lines apart, finding and listing formats.
#include <gtest/gtest.h>

#include "paper_size_tool.h"
#include "test_support.h"

namespace {

using testing_support::ReadFile;
using testing_support::TestRoot;
using testing_support::WriteFile;

#ifdef CORVANE_LPRNG_BUILD
constexpr bool kLprBuild = true;
#else
constexpr bool kLprBuild = false;
#endif

TEST(LabelId, FormatsFieldsInUpperCaseHex) {
  // New Label Format, 29 x 70 mm, seconds ending in 7, 146522 microseconds.
  EXPECT_EQ(FormatLabelId(16, 29, 70, 0x17, 146522), "CvL101D04673C5A");
  EXPECT_EQ(FormatLabelId(99, 255, 4096, 0, 0), "CvL63FF00000000");
  EXPECT_EQ(FormatLabelId(1, 1, 4196, 15, 0xFFFF), "CvL0101064FFFFF");
  EXPECT_EQ(MakeLabelId(16, 29, 70).substr(0, 10), "CvL101D046");
  EXPECT_EQ(MakeLabelId(16, 29, 70).size(), kLabelIdLength);
}

TEST(LabelLineParsing, ReadsNameWidthAndLengthBehindTheIdentifier) {
  LabelLine label;
  ASSERT_TRUE(ParseLabelLine("*PageSize CvL101D04673C5A/New Label Format:\t\t\"  \"\n", &label));
  EXPECT_EQ(label.id_pos, 10u);
  EXPECT_EQ(label.name, "New Label Format");
  EXPECT_EQ(label.width_mm, 29u);
  EXPECT_EQ(label.length_mm, 70u);
}

TEST(LabelLineParsing, RefusesMalformedIdentifiers) {
  LabelLine label;
  for (const char* line :
       {"no identifier here\n", "CvL", "CvL1", "CvLZZ1D04673C5A/abc\n", "CvL 31D04673C5A/abc\n",
        "CvL641D04673C5A/" /* 100 bytes */, "CvL051D04673C5A/abcd", "CvL05"}) {
    EXPECT_FALSE(ParseLabelLine(line, &label)) << line;
  }
  EXPECT_FALSE(ParseLabelLine(std::string_view("CvL051D04\0\0\0\0\0\0/abcde", 21), &label));
  EXPECT_TRUE(ParseLabelLine("CvL051D04673C5A/abcde", &label));
  EXPECT_TRUE(ParseLabelLine("CvL001D04673C5A/", &label));
  EXPECT_EQ(label.name, "");
}

class LookupTest : public ::testing::Test {
 protected:
  TestRoot root;
  std::string ppd = root.Path("/etc/cups/ppd/q.ppd");
  char id[kLabelIdLength + 1] = {};
};

TEST_F(LookupTest, FindsTheFirstFormatWhoseWholeNameMatches) {
  WriteFile(ppd,
            "*PageSize CvL051D04673C5A/Label:\t\t\"x\"\n"
            "*PageSize CvL071D04673C5B/Label 2:\t\t\"x\"\n"
            "*PageSize CvL071D04673C5C/Label 2:\t\t\"x\"\n");
  EXPECT_EQ(Lookup_Label(ppd, "Label 2", id), 1);
  EXPECT_STREQ(id, "CvL071D04673C5B");
  EXPECT_EQ(Lookup_Label(ppd, "Label", id), 1);
  EXPECT_STREQ(id, "CvL051D04673C5A");
  EXPECT_EQ(Lookup_Label(ppd, "label", id), 0);
  EXPECT_EQ(Lookup_Label(ppd, "Lab", id), 0);
}

TEST_F(LookupTest, BuildsDifferInWhichLinesCountAndInUnreadableFiles) {
  WriteFile(ppd,
            "*PageRegion CvL051D04673C5A/Label:\t\t\"x\"\n"
            "CvL061D04673C5B/Label6\n"
            "*PageSize CvL071D04673C5C/Label 7");  // last line without a line feed
  EXPECT_EQ(Lookup_Label(ppd, "Label", id), kLprBuild ? 1 : 0);
  EXPECT_EQ(Lookup_Label(ppd, "Label6", id), kLprBuild ? 1 : 0);
  EXPECT_EQ(Lookup_Label(ppd, "Label 7", id), 1);
  EXPECT_EQ(Lookup_Label(root.Path("/missing"), "Label", id), kLprBuild ? 0 : -1);
  WriteFile(ppd, "");
  EXPECT_EQ(Lookup_Label(ppd, "Label", id), 0);
}

TEST_F(LookupTest, ListWritesNameWidthAndLengthOfEachPageSize) {
  WriteFile(ppd,
            "*PageSize 50x30/50 x 30 mm:\t\"<<>>\"\n"
            "*PageSize CvL101D04673C5A/New Label Format:\t\t\"x\"\n"
            "*PageRegion CvL101D04673C5A/New Label Format:\t\t\"x\"\n"
            "*PageSize CvL0264000F1234/ab:\t\t\"x\"\n");
  EXPECT_EQ(List_Label(ppd), 2);
  EXPECT_EQ(ReadFile(ppd + ".list"), "New Label Format\n29\n70\nab\n100\n0\n");
  WriteFile(ppd, "");
  EXPECT_EQ(List_Label(ppd), 0);
  EXPECT_EQ(ReadFile(ppd + ".list"), "");
  EXPECT_EQ(List_Label(root.Path("/missing")), -1);
  EXPECT_FALSE(testing_support::Exists(root.Path("/missing.list")));
}

TEST(DebugLogTest, AppendsAndFlushesEachCall) {
  TestRoot root;
  WriteFile(root.Path("/tmp/cvinkjet_lprng_debuglog.txt"), "old\n");
  EXPECT_EQ(DebugLog("%s=%d\n", "width", 29), 9);
  EXPECT_EQ(ReadFile(root.Path("/tmp/cvinkjet_lprng_debuglog.txt")), "old\nwidth=29\n");
}

}  // namespace
