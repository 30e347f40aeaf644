// Golden runs of the tools, one directory each under tests/data/cases/:
//   run      the program (cups, lpr or lpr:ARGV0) and its arguments, TAB-separated;
//            then lines KEY=VALUE for the environment, or real-cups-tool
//   before/  files laid over the sample setup of a test root
//   after/   the files the run changes or makes, as they must be afterwards;
//            every other file must stay as it was (tmp/ counts only there)
//   stdout, stderr, status, calls (the stand-ins' calls, one a line), modes
//   (a path and an octal mode a line): what the run must give; missing
//   ones are empty, 0, none.
// The test root shows as /ROOT, and the nth identifier the run makes itself
// with its time digits as ####n (met in standard output, standard error,
// calls, then files by path).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>

#include "support.h"

namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

Files FilesOf(const std::string& dir) {
  const auto tree = ts::Tree(dir);
  return Files(tree.begin(), tree.end());
}

class Cases : public testing::TestWithParam<std::string> {};

TEST_P(Cases, RunGivesTheGoldenResult) {
  const std::string name = GetParam(), dir = ts::Data("cases/" + name);
  ts::TestRoot root;
  if (fs::exists(dir + "/before")) {
    fs::copy(dir + "/before", root.dir,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  }
  const std::vector<ts::Args> run = ts::Table("cases/" + name + "/run");
  const ts::Args args(run[0].begin() + 1, run[0].end());
  ts::Env env;
  for (size_t i = 1; i < run.size(); ++i) {
    const size_t equals = run[i][0].find('=');
    if (equals == std::string::npos) root.InstallCupsTool(true);
    if (equals != std::string::npos)
      env.emplace_back(run[i][0].substr(0, equals), run[i][0].substr(equals + 1));
  }
  const Files before = FilesOf(root.dir);
  const std::regex id("CvL[0-9A-F]{12}");
  std::set<std::string> known(args.begin(), args.end());
  for (const auto& [path, data] : before) {
    for (std::sregex_iterator it(data.begin(), data.end(), id), end; it != end; ++it)
      known.insert(it->str());
  }
  const ts::RunResult result =
      run[0][0] == "cups"
          ? root.Cups(args, env)
          : ts::Run(ts::LprTool(), args, root.ToolEnv(env),
                    run[0][0] == "lpr" ? "cvpapertoollpr_km3030" : run[0][0].substr(4));
  std::map<std::string, int> made;
  auto shown = [&](const std::string& text) {
    std::string masked = std::regex_replace(text, std::regex(root.dir), "/ROOT");
    const std::string copy = masked;
    for (std::sregex_iterator it(copy.begin(), copy.end(), id), end; it != end; ++it) {
      if (known.contains(it->str())) continue;
      const int n = made.emplace(it->str(), static_cast<int>(made.size()) + 1).first->second;
      masked.replace(it->position() + 10, 5, "####" + std::to_string(n));
    }
    return masked;
  };
  const std::string calls = root.CallsText();
  const std::string status = ts::ReadFile(dir + "/status");
  EXPECT_EQ(result.status, status.empty() ? 0 : std::stoi(status));
  for (const auto& [file, text] :
       {std::pair{"stdout", result.out}, {"stderr", result.err}, {"calls", calls}}) {
    EXPECT_EQ(shown(text), ts::ReadFile(dir + "/" + file)) << file;
  }
  const Files after = FilesOf(dir + "/after"), now = FilesOf(root.dir);
  for (const auto& [path, data] : after) EXPECT_TRUE(now.contains(path)) << "no " << path;
  for (const auto& [path, data] : now) {
    if (path.starts_with("stub-log/") || (path.starts_with("tmp/") && !after.contains(path)))
      continue;
    const auto expected = after.contains(path) ? after.find(path) : before.find(path);
    ASSERT_NE(expected, before.end()) << "unexpected file " << path;
    EXPECT_EQ(shown(data), expected->second) << path;
  }
  for (const ts::Args& row : ts::Table("cases/" + name + "/modes")) {
    struct stat st {};
    stat(root.Path("/" + row[0]).c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, std::stoul(row[1], nullptr, 8)) << row[0];
  }
}

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(ts::Data("cases")))
    names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

INSTANTIATE_TEST_SUITE_P(Golden, Cases, testing::ValuesIn(CaseNames()),
                         [](const auto& info) { return info.param; });

}  // namespace
