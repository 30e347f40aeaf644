// Golden runs of the tools, one directory each under tests/data/cases/:
//   run      the program (cups, lpr or lpr:ARGV0) and its arguments, TAB-separated;
//            further lines KEY=VALUE for the environment, or real-cups-tool
//   before/  files laid over the sample setup of a test root
//   after/   the files the run changes or makes, as they must be afterwards;
//            every other file stays as it was (tmp/ is looked at only here)
//   stdout, stderr, status, calls (the stand-ins' calls, one a line), modes
//   (path and octal mode a line): what the run must give; missing ones are
//   empty, 0, none.
// An identifier the run makes itself shows with its time digits as ####1, ####2...
// the test root as /ROOT.
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
  Files files;
  for (auto& [path, data] : ts::Tree(dir)) files[path] = data;
  return files;
}

const std::regex kId("CvL[0-9A-F]{12}");

// Hides the time digits of every identifier not in `known`: the nth new one
// met (in standard output, standard error, calls, then files by path) shows
// them as "####n".
std::string MaskNewIds(const std::string& text, const std::set<std::string>& known,
                       std::map<std::string, int>* seen) {
  std::string masked = text;
  for (std::sregex_iterator it(text.begin(), text.end(), kId), end; it != end; ++it) {
    if (known.contains(it->str())) continue;
    const int n = seen->emplace(it->str(), static_cast<int>(seen->size()) + 1).first->second;
    masked.replace(it->position() + 10, 5, "####" + std::to_string(n));
  }
  return masked;
}

void RunCase(const std::string& name) {
  const std::string dir = ts::Data("cases/" + name);
  ts::TestRoot root;
  if (fs::exists(dir + "/before")) {
    fs::copy(dir + "/before", root.dir,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  }
  std::vector<ts::Args> run = ts::Table("cases/" + name + "/run");
  ts::Args args(run[0].begin() + 1, run[0].end());
  ts::Env env;
  for (size_t i = 1; i < run.size(); ++i) {
    if (run[i][0] == "real-cups-tool") root.InstallCupsTool(true);
    const size_t equals = run[i][0].find('=');
    if (equals != std::string::npos) env.emplace_back(run[i][0].substr(0, equals), run[i][0].substr(equals + 1));
  }
  // Identifiers the setup or the arguments hold stay as they are.
  const Files before = FilesOf(root.dir);
  std::set<std::string> known(args.begin(), args.end());
  for (const auto& [path, data] : before) {
    for (std::sregex_iterator it(data.begin(), data.end(), kId), end; it != end; ++it) {
      known.insert(it->str());
    }
  }
  const std::string& program = run[0][0];
  const ts::RunResult result =
      program == "cups" ? root.Cups(args, env)
                        : ts::Run(ts::LprTool(), args, root.ToolEnv(env),
                                  program == "lpr" ? "cvpapertoollpr_km3030" : program.substr(4));
  std::map<std::string, int> seen;
  auto shown = [&](const std::string& text) {
    return MaskNewIds(std::regex_replace(text, std::regex(root.dir), "/ROOT"), known, &seen);
  };
  auto expect_text = [&](const std::string& file, const std::string& actual) {
    EXPECT_EQ(shown(actual), ts::ReadFile(dir + "/" + file)) << name << ": " << file;
  };
  expect_text("stdout", result.out);
  expect_text("stderr", result.err);
  const std::string status = ts::ReadFile(dir + "/status");
  EXPECT_EQ(result.status, status.empty() ? 0 : std::stoi(status)) << name;
  std::string calls;
  for (const ts::Args& call : root.Calls()) {
    for (const std::string& arg : call) calls += (&arg == &call[0] ? "" : "\t") + arg;
    calls += "\n";
  }
  expect_text("calls", calls);
  const Files after = FilesOf(dir + "/after"), now = FilesOf(root.dir);
  for (const auto& [path, data] : after) EXPECT_TRUE(now.contains(path)) << name << ": no " << path;
  for (const auto& [path, data] : now) {
    if (path.starts_with("stub-log/") || (path.starts_with("tmp/") && !after.contains(path))) continue;
    const auto expected = after.contains(path) ? after.find(path) : before.find(path);
    ASSERT_NE(expected, before.end()) << name << ": unexpected file " << path;
    EXPECT_EQ(shown(data), expected->second) << name << ": " << path;
  }
  for (const ts::Args& row : ts::Table("cases/" + name + "/modes")) {
    struct stat st {};
    EXPECT_EQ(stat(root.Path("/" + row[0]).c_str(), &st), 0) << name << ": " << row[0];
    EXPECT_EQ(st.st_mode & 07777, std::stoul(row[1], nullptr, 8)) << name << ": " << row[0];
  }
}

class Cases : public testing::TestWithParam<std::string> {};

TEST_P(Cases, RunGivesTheGoldenResult) { RunCase(GetParam()); }

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(ts::Data("cases"))) {
    names.push_back(entry.path().filename());
  }
  std::sort(names.begin(), names.end());
  return names;
}

INSTANTIATE_TEST_SUITE_P(Golden, Cases, testing::ValuesIn(CaseNames()),
                         [](const auto& info) { return info.param; });

}  // namespace
