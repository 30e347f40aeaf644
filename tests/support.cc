// The tests' vocabulary.
#include "support.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace ts {

namespace fs = std::filesystem;
const std::string kSource = CORVANE_SOURCE_DIR;

std::string CupsTool() { return CORVANE_CUPS_TOOL; }
std::string LprTool() { return CORVANE_LPR_TOOL; }
std::string Ps2ps() { return CORVANE_PS2PS; }
std::string Data(const std::string& name) { return kSource + "/tests/data/" + name; }

RunResult Run(const std::string& program, const Args& args, const Env& env,
              const std::string& argv0, const std::string& input) {
  const std::string out = "/tmp/corvane-run-" + std::to_string(getpid()), err = out + "-err";
  WriteFile(out + "-in", input);
  Args strings = {argv0.empty() ? program : argv0};
  strings.insert(strings.end(), args.begin(), args.end());
  const pid_t pid = fork();
  if (pid == 0) {
    for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
    std::vector<char*> argv;
    for (std::string& arg : strings) argv.push_back(arg.data());
    argv.push_back(nullptr);
    dup2(open((out + "-in").c_str(), O_RDONLY), 0);
    dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
    dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  RunResult result{WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), ReadFile(out),
                   ReadFile(err)};
  for (const std::string& file : {out, err, out + "-in"}) unlink(file.c_str());
  return result;
}

std::string ReadFile(const std::string& path) {
  std::ostringstream data;
  data << std::ifstream(path, std::ios::binary).rdbuf();
  return data.str();
}

void WriteFile(const std::string& path, const std::string& data, mode_t mode) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << data;
  chmod(path.c_str(), mode);
}

std::map<std::string, std::string> Tree(const std::string& dir) {
  std::map<std::string, std::string> files;
  std::error_code ignored;
  for (const auto& entry : fs::recursive_directory_iterator(dir, ignored))
    if (fs::is_regular_file(entry.symlink_status()))
      files[fs::relative(entry.path(), dir).string()] = ReadFile(entry.path());
  return files;
}

std::vector<Args> Table(const std::string& name) {
  std::vector<Args> rows;
  std::istringstream lines(ReadFile(Data(name)));
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] == '#') continue;
    rows.emplace_back(1);
    for (size_t i = 0; i < line.size(); ++i) {
      const char c = line[i];
      if (c == '\t') {
        rows.back().emplace_back();
      } else if (c != '\\' || ++i == line.size()) {
        rows.back().back() += c;
      } else if (line[i] == 'x') {
        rows.back().back() += static_cast<char>(std::stoi(line.substr(i + 1, 2), nullptr, 16));
        i += 2;
      } else {
        const char e = line[i];
        rows.back().back() += e == 't' ? '\t' : e == 'n' ? '\n' : e == 'r' ? '\r' : e;
      }
    }
  }
  return rows;
}

TestRoot::TestRoot() {
  char name[] = "/tmp/corvane-root-XXXXXX";
  dir = mkdtemp(name);
  chmod(dir.c_str(), 0755);
  fs::create_directories(Path("/tmp"));
  fs::create_directories(Path("/opt/corvane/km3030/bin/lpd"));
  fs::copy(kSource + "/samples/driver/km3030/bin/inf", Inf(), fs::copy_options::recursive);
  WriteFile(Ppd(), ReadFile(kSource + "/samples/ppd/label-printer.ppd"));
  InstallCupsTool(false);
  ClearCalls();
  setenv("CORVANE_TEST_ROOT", dir.c_str(), 1);
}

TestRoot::~TestRoot() { fs::remove_all(dir); }

Env TestRoot::ToolEnv(const Env& extra) const {
  Env env = {{"CORVANE_TEST_ROOT", dir},
             {"PATH", kSource + "/tests/stubs:" + getenv("PATH")},
             {"STUB_LOG_DIR", Path("/stub-log")}};
  env.insert(env.end(), extra.begin(), extra.end());
  return env;
}

std::string TestRoot::Calls() const {
  std::string text;
  for (const auto& [name, data] : Tree(Path("/stub-log")))
    text += data.substr(0, data.size() - 1) + "\n";  // each word ends with a zero byte
  std::replace(text.begin(), text.end(), '\0', '\t');
  return text;
}

void TestRoot::ClearCalls() const {
  fs::remove_all(Path("/stub-log"));
  fs::create_directories(Path("/stub-log"));
}

void TestRoot::InstallCupsTool(bool real) const {
  const std::string tool = Path("/opt/corvane/km3030/bin/lpd/cvpapertoolcups");
  fs::remove(tool);
  fs::create_symlink(real ? CupsTool() : kSource + "/tests/stubs/cvpapertoolcups", tool);
}

std::string MaskIds(const std::string& text,
                    const std::function<std::string(const std::string& id)>& mask) {
  std::string masked;
  size_t done = 0;
  for (size_t at = text.find("CvL"); at != std::string::npos; at = text.find("CvL", at + 1)) {
    const std::string digits = text.substr(at + 3, 12);
    if (digits.size() < 12 || digits.find_first_not_of("0123456789ABCDEF") != std::string::npos)
      continue;
    masked += text.substr(done, at - done) + mask(text.substr(at, 15));
    done = at + 15;
  }
  return masked + text.substr(done);
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

}  // namespace ts
