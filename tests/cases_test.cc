// Golden runs of the tools, one directory each under tests/data/cases/; its
// README tells what the files of a directory say.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "support.h"

namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

// One golden run: the test root laid out as the case's directory says, the
// run, and what it must give, with made identifiers and the root masked.
class Cases : public testing::TestWithParam<std::string> {
 protected:
  const std::string dir = ts::Data("cases/" + GetParam());
  ts::TestRoot root;
  std::vector<ts::Args> run = ts::Table("cases/" + GetParam() + "/run");
  Files before;
  std::set<std::string> known;  // identifiers of the run and of the files laid out
  std::map<std::string, int> made;
  std::map<std::string, std::string> stamps;  // inode and modification time of the untouched

  std::string Stamp(const std::string& path) const {
    struct stat st {};
    stat(root.Path("/" + path).c_str(), &st);
    return std::to_string(st.st_ino) + " " + std::to_string(st.st_mtim.tv_sec) + "." +
           std::to_string(st.st_mtim.tv_nsec);
  }

  void LayOut() {
    std::error_code no_before;
    fs::copy(dir + "/before", root.dir,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing, no_before);
    for (const ts::Args& row : ts::Table("cases/" + GetParam() + "/gone"))
      fs::remove(root.Path("/" + row[0]));
    if (run.back()[0] == "CUPS_TOOL") root.InstallCupsTool(true);
    before = ts::Tree(root.dir);
    for (const ts::Args& row : ts::Table("cases/" + GetParam() + "/untouched"))
      stamps[row[0]] = Stamp(row[0]);
    std::string setup;  // the files laid out and the run's own words
    for (const auto& [path, data] : before) setup += data;
    for (const ts::Args& row : run)
      for (const std::string& word : row) setup += word + "\t";
    ts::MaskIds(setup, [this](const std::string& id) { return *known.insert(id).first; });
  }
  ts::RunResult Run() const {
    const ts::Args args(run[0].begin() + 1, run[0].end());
    ts::Env env;  // STDIN, the tool's standard input, goes along as a harmless variable
    for (size_t i = 1; i < run.size(); ++i) env.emplace_back(run[i][0], run[i][1]);
    const auto stdin_row =
        std::ranges::find(env, "STDIN", &std::pair<std::string, std::string>::first);
    const std::string input = stdin_row != env.end() ? stdin_row->second : "";
    const std::string& program = run[0][0];
    if (program == "cups") return ts::Run(ts::CupsTool(), args, root.ToolEnv(env), "", input);
    return ts::Run(ts::LprTool(), args, root.ToolEnv(env),
                   program == "lpr" ? "cvpapertoollpr_km3030" : program.substr(4));
  }
  // `text` with the root as /ROOT and the time digits of the nth identifier the run made as ####n.
  std::string Shown(const std::string& text) {
    return ts::MaskIds(ts::Replaced(text, root.dir, "/ROOT"), [this](const std::string& id) {
      if (known.contains(id)) return id;
      const int n = made.emplace(id, static_cast<int>(made.size()) + 1).first->second;
      return id.substr(0, 10) + "####" + std::to_string(n);
    });
  }
  // Every file is as after/ has it, or else as it was; tmp/ counts only in after/.
  void ExpectFiles() {
    const Files after = ts::Tree(dir + "/after"), now = ts::Tree(root.dir);
    for (const auto& [path, data] : after) EXPECT_TRUE(now.contains(path)) << "no " << path;
    for (const auto& [path, data] : now) {
      if (path.starts_with("stub-log/") || (path.starts_with("tmp/") && !after.contains(path)))
        continue;
      const auto expected = after.contains(path) ? after.find(path) : before.find(path);
      ASSERT_NE(expected, before.end()) << "unexpected file " << path;
      EXPECT_EQ(Shown(data), expected->second) << path;
    }
    for (const ts::Args& row : ts::Table("cases/" + GetParam() + "/untouched"))
      EXPECT_EQ(Stamp(row[0]), stamps[row[0]]) << row[0] << " was written";
    for (const ts::Args& row : ts::Table("cases/" + GetParam() + "/modes")) {
      struct stat st {};
      stat(root.Path("/" + row[0]).c_str(), &st);
      EXPECT_EQ(st.st_mode & 07777, std::stoul(row[1], nullptr, 8)) << row[0];
    }
  }
};

TEST_P(Cases, RunGivesTheGoldenResult) {
  umask(022);  // the usual one, so that the modes of files a run makes are fixed
  LayOut();
  const ts::RunResult result = Run();
  const std::string status = ts::ReadFile(dir + "/status");
  EXPECT_EQ(result.status, status.empty() ? 0 : std::stoi(status));
  for (const auto& [file, text] :
       {std::pair{"stdout", result.out}, {"stderr", result.err}, {"calls", root.Calls()}})
    EXPECT_EQ(Shown(text), ts::ReadFile(dir + "/" + file)) << file;
  ExpectFiles();
}

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(ts::Data("cases"))) {
    if (entry.is_directory()) names.push_back(entry.path().filename());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Formats of every kind added one after another, the PPD replaced by the
// original, then a sync: the PPD is the one the additions left, byte for byte,
// through one lpoptions and one lpadmin, with LF and with CR LF line endings.
TEST(Sync, GivesBackThePpdTheAdditionsLeft) {
  ts::TestRoot root;
  root.InstallCupsTool(true);
  const std::string sample = ts::ReadFile(root.Ppd());
  for (const std::string& original : {sample, ts::Replaced(sample, "\n", "\r\n")}) {
    ts::WriteFile(root.Ppd(), original);
    for (const ts::Args& row : ts::Table("sync_additions.tsv")) ASSERT_EQ(root.Lpr(row).status, 0);
    const std::string added = ts::ReadFile(root.Ppd());
    ts::WriteFile(root.Ppd(), original);
    root.ClearCalls();
    EXPECT_EQ(root.Lpr({"-sync", "KM-3030"}).err, "");
    EXPECT_EQ(ts::ReadFile(root.Ppd()), added);
    EXPECT_EQ(root.Calls(),
              "lpoptions\t-p\tKM-3030\nlpadmin\t-p\tKM-3030\t-P\t" + root.dir + "/tmp/pTmpPPD\n");
    for (const ts::Args& row : ts::Table("sync_additions.tsv"))
      root.Lpr({"-P", "KM-3030", "-d", row[3]});
  }
}

INSTANTIATE_TEST_SUITE_P(Golden, Cases, testing::ValuesIn(CaseNames()),
                         [](const auto& info) { return info.param; });

}  // namespace
