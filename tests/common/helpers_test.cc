// Shell quoting, number readings, fresh scratch files and the checked copy.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <random>

#include "file_rewrite.h"
#include "command_options.h"
#include "paper_size_tool.h"
#include "shell_command.h"
#include "test_support.h"

namespace {

using testing_support::ReadFile;
using testing_support::Run;
using testing_support::TestRoot;
using testing_support::WriteFile;

// What the shell makes of `word`: the arguments it passes on, one per line.
std::string ThroughShell(const std::string& shell, const std::string& words) {
  return Run(shell, {"-c", "for a in " + words + "; do printf '[%s]' \"$a\"; done"}).out;
}

TEST(ShellQuoteTest, SafeValuesStayBareOthersArriveLiterally) {
  EXPECT_EQ(ShellQuote("KM-3030"), "KM-3030");
  EXPECT_EQ(ShellQuote("usb://Maker/Model%20X,a=b@c_d+e:1"), "usb://Maker/Model%20X,a=b@c_d+e:1");
  EXPECT_EQ(ShellQuote(""), "''");
  EXPECT_EQ(ShellQuote("it's"), "'it'\\''s'");
  for (const std::string value :
       {"", "a b", "usb://Maker/Model?serial=A1&interface=1", "$(touch x)", "`id`", "'", "''\\'",
        "a\nb", "*", "-n", "\\\"$\t!#;|<>(){}[]~"}) {
    for (const char* shell : {"/bin/sh", "/bin/bash"}) {
      EXPECT_EQ(ThroughShell(shell, ShellQuote(value)), "[" + value + "]") << shell << " " << value;
    }
  }
}

TEST(NumberReadingTest, ReadsLikeTheCLibrary) {
  EXPECT_EQ(ReadInteger(""), 0);
  EXPECT_EQ(ReadInteger("  12abc"), 12);
  EXPECT_EQ(ReadInteger("-1"), -1);
  EXPECT_EQ(ReadInteger("29.9"), 29);
  EXPECT_EQ(ReadInteger("0x10"), 0);
  EXPECT_EQ(ReadInteger("99999999999999999999"), INT64_MAX);
  EXPECT_DOUBLE_EQ(ReadFraction("29.9"), 29.9);
  EXPECT_DOUBLE_EQ(ReadFraction("30mm"), 30.0);
  EXPECT_DOUBLE_EQ(ReadFraction("abc"), 0.0);
}

class ScratchTest : public ::testing::Test {
 protected:
  TestRoot root;
  std::string victim = root.Path("/victim");
  std::string scratch = root.Path("/tmp/scratch");
  void SetUp() override { WriteFile(victim, "victim\n", 0666); }
};

TEST_F(ScratchTest, ReplacesWhateverStandsAtTheNameWithAFreshFile) {
  auto plant_symlink = [&] { ASSERT_EQ(symlink(victim.c_str(), scratch.c_str()), 0); };
  auto plant_dangling = [&] { ASSERT_EQ(symlink("/nonexistent/x", scratch.c_str()), 0); };
  auto plant_hardlink = [&] { ASSERT_EQ(link(victim.c_str(), scratch.c_str()), 0); };
  auto plant_fifo = [&] { ASSERT_EQ(mkfifo(scratch.c_str(), 0666), 0); };
  auto plant_dir = [&] { ASSERT_EQ(mkdir(scratch.c_str(), 0777), 0); };
  auto plant_file = [&] { WriteFile(scratch, "someone else's\n", 0666); };
  for (auto plant : std::vector<std::function<void()>>{
           plant_symlink, plant_dangling, plant_hardlink, plant_fifo, plant_dir, plant_file}) {
    plant();
    mode_t old_mask = umask(0077);
    const int fd = CreateFreshFd(scratch, 0644);
    umask(old_mask);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "mine\n", 5), 5);
    ASSERT_EQ(CloseFdChecked(fd, true), 0);
    struct stat st;
    ASSERT_EQ(lstat(scratch.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(st.st_nlink, 1u);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    EXPECT_EQ(ReadFile(scratch), "mine\n");
    EXPECT_EQ(ReadFile(victim), "victim\n");
    unlink(scratch.c_str());
  }
}

TEST_F(ScratchTest, EditedCopyKeepsEveryByteAndAddsTheFinish) {
  std::string source = "keep\ndrop me\n" + std::string(5000, 'L') + "\nlast";
  WriteFile(root.Path("/src"), source);
  const std::vector<std::string_view> markers = {"drop"};
  int result = WriteEditedCopy(
      root.Path("/src"), scratch, 0644, markers,
      [](std::string_view line, LineWriter& out) {
        if (!line.starts_with("drop")) WriteText(line, out);
      },
      [](LineWriter& out) { WriteText("+end\n", out); });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(ReadFile(scratch), "keep\n" + std::string(5000, 'L') + "\nlast+end\n");
  EXPECT_EQ(WriteEditedCopy(
                root.Path("/missing"), scratch + "2", 0644, {},
                [](std::string_view, LineWriter&) {}, AddNothing),
            -1);
  EXPECT_FALSE(testing_support::Exists(scratch + "2"));
}

// Lines without a marker are copied in runs, never shown to the edit: the
// result must be what a plain line-by-line edit gives, wherever the lines and
// markers fall against the reader's blocks.
TEST_F(ScratchTest, MarkedLinesAloneReachTheEditWhereverTheyFall) {
  std::mt19937 random(7);
  const std::vector<std::string_view> markers = {"DROP", "MARK-LONGER"};
  for (int round = 0; round < 12; ++round) {
    // The first read ends at 128 KiB: a marker straddles it in the first round.
    std::string source = std::string(131065, 'x') + "\nMARK-LONGER straddles\n";
    std::string expected = std::string(131065, 'x') + "\n<MARK-LONGER straddles\n";
    if (round > 0) source.clear(), expected.clear();
    while (source.size() < 600000) {
      size_t length = random() % 8 == 0 ? random() % 200000 : random() % 120;
      std::string line(length, 'a' + static_cast<char>(random() % 26));
      if (random() % 5 == 0) line.insert(random() % (line.size() + 1), "DROP");
      if (random() % 7 == 0) line.insert(random() % (line.size() + 1), "MARK-LONGER");
      line += '\n';
      source += line;
      if (line.find("DROP") == std::string::npos) {
        expected += line.find("MARK-LONGER") == std::string::npos ? line : "<" + line;
      }
    }
    source += "tail\n";
    expected += "tail\n";
    if (round % 2 == 1) source.pop_back(), expected.pop_back();  // no final line feed
    WriteFile(root.Path("/src"), source);
    auto edit = [](std::string_view line, LineWriter& out) {
      if (line.find("DROP") != std::string_view::npos) return;
      WriteText("<", out);
      WriteText(line, out);
    };
    ASSERT_EQ(WriteEditedCopy(root.Path("/src"), scratch, 0644, markers, edit, AddNothing),
              0);
    ASSERT_EQ(ReadFile(scratch), expected) << "round " << round;
  }
}

TEST_F(ScratchTest, EditedCopyThatCannotBeWrittenWholeIsRemoved) {
  WriteFile(root.Path("/src"), std::string(200000, 'x') + "\n");
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old_limit;
  getrlimit(RLIMIT_FSIZE, &old_limit);
  rlimit small = old_limit;
  small.rlim_cur = 4096;
  setrlimit(RLIMIT_FSIZE, &small);
  int result = WriteEditedCopy(
      root.Path("/src"), scratch, 0644, {},
      [](std::string_view line, LineWriter& out) { WriteText(line, out); }, AddNothing);
  int error = errno;
  setrlimit(RLIMIT_FSIZE, &old_limit);
  EXPECT_EQ(result, -1);
  EXPECT_EQ(error, EFBIG);
  EXPECT_FALSE(testing_support::Exists(scratch));
}

}  // namespace
