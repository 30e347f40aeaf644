// cvps2ps run on a table of jobs, and its answer carried out by the real pstops.
#include <gtest/gtest.h>

#include <iterator>
#include <sstream>

#include "support.h"

namespace {

ts::RunResult Answer(const std::string& shift, const std::string& job,
                     const std::string& command = "pstops", const std::string& out = "out.ps") {
  return ts::Run(ts::Ps2ps(), {"1", "2", "3", "4", "5", shift, command, "in%d.ps", out, job});
}

TEST(Ps2ps, AnswersAsTheTableSays) {
  ts::TestRoot root;
  const std::string job = root.Path("/tmp/job.ps");
  for (const ts::Args& row : ts::Table("ps2ps_jobs.tsv")) {
    ts::WriteFile(job, row[1]);
    const ts::RunResult result = Answer(row[0], job);
    EXPECT_EQ(result.out, row[2]) << row[1].substr(0, 80);
    EXPECT_EQ(result.status, 0);
  }
  const ts::RunResult unreadable = Answer("0", root.Path("/tmp/none.ps"));
  EXPECT_EQ(unreadable.out + unreadable.err + std::to_string(unreadable.status),
            "ERROR:cvps2ps terminates.\n0");
  for (const ts::Args& args : {ts::Args(9, "x"), ts::Args(11, "x")}) {
    const ts::RunResult wrong = ts::Run(ts::Ps2ps(), args);
    EXPECT_EQ(wrong.out + wrong.err + std::to_string(wrong.status), "0");
  }
}

TEST(Ps2ps, PstopsCarriesOutThePageShift) {
  ts::TestRoot root;
  const std::string job = root.Path("/tmp/job.ps"), shifted = root.Path("/tmp/shifted.ps");
  ts::WriteFile(job,
                "<< /PageSize [595 842] >> setpagedevice\n%!PS-Adobe-3.0\n%%Pages: 2\n"
                "%%EndComments\n%%Page: 1 1\n72 720 moveto 100 0 rlineto stroke showpage\n"
                "%%Page: 2 2\n72 72 moveto 500 700 lineto stroke showpage\n%%EOF\n");
  const std::string answer = Answer("24", job, "pstops", shifted).out;
  ASSERT_EQ(answer.substr(0, 25), "PSCOMMAND=pstops\nCMDARGV=");
  // The print filter splits the value at blanks, as the shell would.
  std::istringstream value(answer.substr(25));
  ts::Args words{std::istream_iterator<std::string>(value), {}};
  words[words.size() - 2] = job;
  const ts::RunResult shift = ts::Run("/usr/bin/pstops", words);
  ASSERT_EQ(shift.status, 0) << shift.err;
  const std::string out = ts::ReadFile(shifted);
  EXPECT_NE(out.find("%%Page: (1) 2"), std::string::npos);  // both pages are there
  EXPECT_NE(out.find("-4.320000 "), std::string::npos);     // 0.06 in to the left
  EXPECT_EQ(ts::Run("/usr/bin/gs",
                    {"-q", "-dBATCH", "-dNOPAUSE", "-dSAFER", "-sDEVICE=nullpage", shifted})
                .status,
            0);
}

}  // namespace
