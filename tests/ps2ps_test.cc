// cvps2ps on a table of jobs, and its answer carried out by the real pstops.
#include <gtest/gtest.h>
#include <sys/stat.h>

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
  for (const ts::Args& args : {ts::Args(9, "x"), ts::Args(11, "x")}) {
    const ts::RunResult run = ts::Run(ts::Ps2ps(), args);
    EXPECT_EQ(run.out + run.err + std::to_string(run.status), "0");
  }
  const std::string copy = "PSCOMMAND=cp\nCMDARGV=-f in%d.ps out.ps";
  const ts::Args tail = ts::Table("ps2ps_jobs.tsv")[0];  // a page size, then "%!PS"
  std::string block = "PageSize ";
  while (block.size() < (1 << 20)) block += block;
  // Second lines of over 100 MB without an end, and cut ones whose CR LF meets a 128 KiB read.
  for (const int blocks : {100, -1, -2}) {
    std::ofstream out(job, std::ios::binary);
    out << "PageSize\r";
    for (int i = 0; i < blocks; ++i) out << block;
    if (blocks < 0) out << block.substr(0, (256 << 10) - 9 + blocks) << "\r\n";
    out << tail[1] << std::flush;
    EXPECT_EQ(answer(tail[0]), blocks > 0 ? copy : tail[2]) << blocks;
  }
  std::remove(job.c_str());
  EXPECT_EQ(answer("0"), "ERROR:cvps2ps terminates.\n");
  ASSERT_EQ(mkdir(job.c_str(), 0700), 0);  // opens, but reading fails
  EXPECT_EQ(answer("0"), copy);
  std::remove(job.c_str());
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
