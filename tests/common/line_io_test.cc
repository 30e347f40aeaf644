// Line reading and complete writing.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "line_stream.h"
#include "paper_size_tool.h"
#include "test_support.h"

namespace {

// A writer on /dev/full: every write fails with ENOSPC.
TEST(LineWriting, ReturnsTheCountAndKeepsTheFirstFailure) {
  const int fd = open("/dev/full", O_WRONLY);
  ASSERT_GE(fd, 0);
  LineWriter out(fd);
  EXPECT_EQ(fwrite_line_string("ignored", 0, out), 0);
  EXPECT_EQ(fwrite_line_string("ignored", -4, out), -4);
  EXPECT_EQ(fwrite_line_string("data\n", 5, out), 5);
  EXPECT_EQ(FlushLineWriter(out), -1);
  EXPECT_EQ(errno, ENOSPC);
  close(fd);
}

}  // namespace

namespace {

// Every line a LineReader hands out for `text`, written to a file first.
std::vector<std::string> ReadAllFromFile(const std::string& text) {
  testing_support::TestRoot root;
  const std::string path = root.Path("/lines");
  testing_support::WriteFile(path, text);
  LineReader in;
  EXPECT_TRUE(OpenLineReader(path, &in));
  std::vector<std::string> lines;
  std::string_view line;
  while (fread_line_string(line, in) > 0) lines.emplace_back(line);
  EXPECT_EQ(in.error, 0);
  return lines;
}

TEST(LineReaderTest, HandsOutEveryLineWholeAcrossBlockBoundaries) {
  using V = std::vector<std::string>;
  EXPECT_EQ(ReadAllFromFile(""), V{});
  EXPECT_EQ(ReadAllFromFile("\n\n"), (V{"\n", "\n"}));
  EXPECT_EQ(ReadAllFromFile("a\nlast"), (V{"a\n", "last"}));
  EXPECT_EQ(ReadAllFromFile(std::string("a\0b\n", 4)), V{std::string("a\0b\n", 4)});
  // Lines of many lengths, some far longer than one read, some straddling reads.
  V expected;
  std::string text;
  for (size_t length : {1u, 70u, 131071u, 131072u, 5u, 300000u, 65536u, 2u}) {
    expected.push_back(std::string(length, 'x') + "\n");
    text += expected.back();
  }
  expected.push_back("tail without line feed");
  text += expected.back();
  EXPECT_EQ(ReadAllFromFile(text), expected);
}

}  // namespace
