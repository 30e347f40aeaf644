// cvps2ps on a table of jobs, and its answer carried out by the real pstops.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "support.h"

TEST(Ps2ps, AnswersAsTheTableSaysAndPstopsCarriesTheShiftOut) {
  ts::TestRoot root;
  const std::string job = root.Path("/tmp/job.ps"), shifted = root.Path("/tmp/shifted.ps");
  auto answer = [&](const std::string& shift, const std::string& out = "out.ps") {
    const ts::RunResult run =
        ts::Run(ts::Ps2ps(), {"1", "2", "3", "4", "5", shift, "pstops", "in%d.ps", out, job});
    return run.out + run.err + (run.status == 0 ? "" : "status " + std::to_string(run.status));
  };
  for (const ts::Args& row : ts::Table("ps2ps_jobs.tsv")) {
    ts::WriteFile(job, row[1]);
    EXPECT_EQ(answer(row[0]), row[2]) << row[1].substr(0, 80);
  }
  for (const ts::Args& args : {ts::Args(9, "x"), ts::Args(11, "x")})
    EXPECT_EQ(ts::Run(ts::Ps2ps(), args).out, "");
  const std::string copy = "PSCOMMAND=cp\nCMDARGV=-f in%d.ps out.ps";
  {  // a CR job of over 100 MB whose second line has no end: of that, 64 KiB count
    std::ofstream out(job, std::ios::binary);
    std::string block = "PageSize ";
    while (block.size() < (1 << 20)) block += block;
    out << "<</PageSize[141.73 85.04]>>setpagedevice\r";
    for (int i = 0; i < 100; ++i) out << block;
    out << "[10 20]";
  }
  EXPECT_EQ(answer("0"), copy);
  std::remove(job.c_str());
  EXPECT_EQ(answer("0"), "ERROR:cvps2ps terminates.\n");
  ASSERT_EQ(mkdir(job.c_str(), 0700), 0);  // opens, but reading fails
  EXPECT_EQ(answer("0"), copy);
  rmdir(job.c_str());
  ts::WriteFile(job, ts::ReadFile(ts::Data("two_pages.ps")));
  // The print filter splits the value at blanks, as the shell would.
  std::istringstream value(answer("24", shifted).substr(25));
  ts::Args words{std::istream_iterator<std::string>(value), {}};
  words[words.size() - 2] = job;
  ASSERT_EQ(ts::Run("/usr/bin/pstops", words).status, 0);
  const std::string out = ts::ReadFile(shifted);
  EXPECT_NE(out.find("%%Page: (1) 2"), std::string::npos);  // both pages are there
  EXPECT_NE(out.find("-4.320000 "), std::string::npos);     // 0.06 in to the left
  EXPECT_EQ(ts::Run("/usr/bin/gs",
                    {"-q", "-dBATCH", "-dNOPAUSE", "-dSAFER", "-sDEVICE=nullpage", shifted})
                .status,
            0);
}
