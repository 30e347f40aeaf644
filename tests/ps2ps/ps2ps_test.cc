// cvps2ps run as a process: its answer for each kind of job, its argument
// handling, and a page-shift answer carried out by the real pstops.
#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

using namespace testing_support;

const std::string kA4Shift =
    "PSCOMMAND=pstops\nCMDARGV=-w595.000000 -h842.000000 1:0@1.0(-0.060000in,-11.576334in) "
    "in.ps out.ps";
const std::string kCopy = "PSCOMMAND=cp\nCMDARGV=-f in.ps out.ps";

class Ps2ps : public ::testing::Test {
 protected:
  TestRoot root;
  std::string job = root.Path("/tmp/job.ps");

  RunResult Answer(const std::string& shift, const std::string& command = "pstops",
                   const std::string& first = "in.ps", const std::string& second = "out.ps") {
    return testing_support::Run(Ps2psPath(),
                                {"1", "2", "3", "4", "5", shift, command, first, second, job});
  }
};

struct Case {
  const char* what;
  std::string job;
  std::string shift;
  std::string out;
};

std::string LongLine(const std::string& head, const std::string& tail) {
  return head + std::string(100000 - head.size() - tail.size(), '0') + tail;
}

TEST_F(Ps2ps, AnswersEachKindOfJob) {
  const std::string body = "%!PS-Adobe-3.0\n%%Pages: 1\nPageSize [100 200]\nshowpage\n";
  const Case cases[] = {
      {"a4", "<< /PageSize [595 842] >> setpagedevice\n" + body, "0", kA4Shift},
      {"letter with shift", "%%PageSize [612 792]\n", " 24 dots",
       "PSCOMMAND=pstops\nCMDARGV=-w612.000000 -h792.000000 1:0@1.0(-0.060000in,-10.763663in) "
       "in.ps out.ps"},
      {"single precision", "/PageSize [595.28 841.89]\n", "0",
       "PSCOMMAND=pstops\nCMDARGV=-w595.280029 -h841.890015 1:0@1.0(-0.060000in,-11.574807in) "
       "in.ps out.ps"},
      {"last leading line wins", "PageSize [100 200]\nPageSize [300 400]\n" + body, "0",
       "PSCOMMAND=pstops\nCMDARGV=-w300.000000 -h400.000000 1:0@1.0(-0.060000in,-5.437445in) "
       "in.ps out.ps"},
      {"only line, no line feed", "<< /PageSize [ 595\t842 ] >> setpagedevice", "0", kA4Shift},
      {"one number", "PageSize [612]\n", "0",
       "PSCOMMAND=pstops\nCMDARGV=-w612.000000 -h0.000000 1:0@1.0(-0.060000in,0.118110in) "
       "in.ps out.ps"},
      {"zero byte ends the scan", std::string("PageSize [612\0 792]\n", 20), "0",
       "PSCOMMAND=pstops\nCMDARGV=-w612.000000 -h0.000000 1:0@1.0(-0.060000in,0.118110in) "
       "in.ps out.ps"},
      {"header comment first", body, "0", kCopy},
      {"zero by zero", "PageSize [0 -0]\n" + body, "0", kCopy},
      {"no closing bracket", "PageSize [595 842\n]\n", "0", kCopy},
      {"empty file", "", "0", kCopy},
      {"long bracket text", LongLine("/PageSize [", "595 842]\n"), "0", kA4Shift},
      {"long line", LongLine("<<", " /PageSize [595 842] >> setpagedevice\n"), "0", kA4Shift},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile(job, c.job);
    RunResult result = Answer(c.shift);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, c.out);
    EXPECT_EQ(result.err, "");
  }
}

TEST_F(Ps2ps, PrintsArgumentsAsTheyStand) {
  const std::string long_name(100000, 'n');
  WriteFile(job, "PageSize [595 842]\n");
  EXPECT_EQ(Answer("0", "%s%n\\", "100%d.ps", "a\\nb").out,
            "PSCOMMAND=%s%n\\\nCMDARGV=-w595.000000 -h842.000000 "
            "1:0@1.0(-0.060000in,-11.576334in) 100%d.ps a\\nb");
  EXPECT_EQ(Answer("0", "pstops", long_name).out,
            kA4Shift.substr(0, kA4Shift.size() - 12) + long_name + " out.ps");
  WriteFile(job, "");
  EXPECT_EQ(Answer("0", "pstops", "%x", long_name).out, "PSCOMMAND=cp\nCMDARGV=-f %x " + long_name);
}

TEST_F(Ps2ps, WrongArgumentCountPrintsNothing) {
  WriteFile(job, "PageSize [595 842]\n");
  for (size_t count : {9u, 11u}) {
    std::vector<std::string> args(count, "0");
    args.back() = job;
    RunResult result = testing_support::Run(Ps2psPath(), args);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out + result.err, "") << count;
  }
}

TEST_F(Ps2ps, UnreadableJobReportsOnStandardError) {
  for (const std::string& path : {root.Path("/tmp/missing.ps"), root.Path("/tmp")}) {
    job = path;
    RunResult result = Answer("0");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "ERROR:cvps2ps terminates.\n");
  }
}

// Where the shell finds `name`; "" when it is not installed.
std::string FindProgram(const std::string& name) {
  std::string path = testing_support::Run("/bin/sh", {"-c", "command -v " + name}).out;
  return path.empty() ? path : path.substr(0, path.size() - 1);
}

TEST_F(Ps2ps, PstopsCarriesOutThePageShift) {
  std::string pstops = FindProgram("pstops"), gs = FindProgram("gs");
  if (pstops.empty() || gs.empty()) GTEST_SKIP() << "pstops or gs is not installed";
  WriteFile(job,
            "<< /PageSize [595 842] >> setpagedevice\n%!PS-Adobe-3.0\n%%Pages: 2\n%%EndComments\n"
            "%%Page: 1 1\n/Helvetica findfont 24 scalefont setfont 72 720 moveto (One) show\n"
            "showpage\n%%Page: 2 2\n72 72 moveto 500 700 lineto stroke showpage\n%%EOF\n");
  const std::string shifted = root.Path("/tmp/shifted.ps");
  std::vector<std::string> lines = SplitLines(Answer("24", pstops, job, shifted).out);
  ASSERT_EQ(lines.size(), 2u);
  ASSERT_EQ(lines[0], "PSCOMMAND=" + pstops);
  ASSERT_EQ(lines[1].rfind("CMDARGV=", 0), 0u);

  // The print filter splits the value at blanks; it knows no quoting.
  std::istringstream value(lines[1].substr(8));
  std::vector<std::string> words{std::istream_iterator<std::string>(value), {}};
  RunResult shift = testing_support::Run(pstops, words);
  ASSERT_EQ(shift.status, 0) << shift.err;
  std::string out = ReadFile(shifted);
  EXPECT_NE(out.find("%%Page: (1) 2"), std::string::npos);  // both pages are there
  EXPECT_NE(out.find("-4.320000 "), std::string::npos);     // moved 0.06 in to the left
  RunResult render = testing_support::Run(
      gs, {"-q", "-dBATCH", "-dNOPAUSE", "-dSAFER", "-sDEVICE=nullpage", shifted});
  EXPECT_EQ(render.status, 0) << render.out << render.err;
}

}  // namespace
