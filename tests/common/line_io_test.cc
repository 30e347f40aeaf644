// Line reading and complete writing.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "line_stream.h"
#include "paper_size_tool.h"
#include "test_support.h"

namespace {

std::FILE* FromText(const std::string& text) {
  std::FILE* in = std::tmpfile();
  std::fwrite(text.data(), 1, text.size(), in);
  std::rewind(in);
  return in;
}

std::vector<std::string> ReadAll(const std::string& text) {
  std::FILE* in = FromText(text);
  LineBuffer line;
  std::vector<std::string> lines;
  int64_t count;
  while ((count = fread_line_string(line, in)) > 0) {
    EXPECT_EQ(line.data[count], '\0');
    lines.emplace_back(line.data, static_cast<size_t>(count));
  }
  EXPECT_EQ(line.data[0], '\0');  // an end-of-file read leaves an empty text
  std::fclose(in);
  return lines;
}

TEST(LineReading, SplitsAfterEachLineFeedAndKeepsIt) {
  using V = std::vector<std::string>;
  EXPECT_EQ(ReadAll(""), V{});
  EXPECT_EQ(ReadAll("\n"), V{"\n"});
  EXPECT_EQ(ReadAll("a\nbc\n"), (V{"a\n", "bc\n"}));
  EXPECT_EQ(ReadAll("a\nlast"), (V{"a\n", "last"}));
  EXPECT_EQ(ReadAll("x\r\ny\r\n"), (V{"x\r\n", "y\r\n"}));
  EXPECT_EQ(ReadAll(std::string("a\0b\n", 4)), V{std::string("a\0b\n", 4)});
}

TEST(LineReading, LongLinesArriveWhole) {
  std::string long_line(70000, 'x');
  long_line += '\n';
  auto lines = ReadAll(long_line + "short\n");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], long_line);
}

// A stream that accepts at most three bytes per write call.
ssize_t Trickle(void* cookie, const char* data, size_t size) {
  auto* sink = static_cast<std::string*>(cookie);
  size_t taken = size < 3 ? size : 3;
  sink->append(data, taken);
  return static_cast<ssize_t>(taken);
}

TEST(LineWriting, CompletesPartialWritesAndReturnsTheCount) {
  std::string sink;
  cookie_io_functions_t io{nullptr, Trickle, nullptr, nullptr};
  std::FILE* out = fopencookie(&sink, "w", io);
  setvbuf(out, nullptr, _IONBF, 0);
  EXPECT_EQ(fwrite_line_string("abcdefghij\0z\n", 13, out), 13);
  EXPECT_EQ(fwrite_line_string("ignored", 0, out), 0);
  EXPECT_EQ(fwrite_line_string("ignored", -4, out), -4);
  std::fclose(out);
  EXPECT_EQ(sink, std::string("abcdefghij\0z\n", 13));
}

TEST(LineWriting, StopsWhenTheStreamMakesNoProgress) {
  std::FILE* full = std::fopen("/dev/full", "w");
  ASSERT_NE(full, nullptr);
  setvbuf(full, nullptr, _IONBF, 0);
  EXPECT_EQ(fwrite_line_string("data\n", 5, full), 5);
  EXPECT_TRUE(std::ferror(full));
  std::fclose(full);
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
