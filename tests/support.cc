// The tests' vocabulary.
#include "support.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace ts {

namespace fs = std::filesystem;

std::string CupsTool() { return CORVANE_CUPS_TOOL; }
std::string LprTool() { return CORVANE_LPR_TOOL; }
std::string Ps2ps() { return CORVANE_PS2PS; }
std::string Stubs() { return CORVANE_SOURCE_DIR "/tests/stubs"; }
std::string Data(const std::string& name) { return CORVANE_SOURCE_DIR "/tests/data/" + name; }

RunResult Run(const std::string& program, const Args& args, const Env& env,
              const std::string& argv0) {
  const std::string out_path = fs::temp_directory_path() / ("corvane-out-" + std::to_string(getpid()));
  const std::string err_path = out_path + "-err";
  Args argv_strings = {argv0.empty() ? program : argv0};
  argv_strings.insert(argv_strings.end(), args.begin(), args.end());
  const pid_t pid = fork();
  if (pid == 0) {
    for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
    std::vector<char*> argv;
    for (std::string& arg : argv_strings) argv.push_back(arg.data());
    argv.push_back(nullptr);
    dup2(open("/dev/null", O_RDONLY), 0);
    dup2(open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
    dup2(open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
  RunResult result{WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
                   ReadFile(out_path), ReadFile(err_path)};
  unlink(out_path.c_str());
  unlink(err_path.c_str());
  return result;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream data;
  data << in.rdbuf();
  return data.str();
}

void WriteFile(const std::string& path, const std::string& data, mode_t mode) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << data;
  chmod(path.c_str(), mode);
}

std::string Unescape(const std::string& field) {
  std::string text;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\' || i + 1 == field.size()) {
      text += field[i];
      continue;
    }
    const char c = field[++i];
    if (c == 'x') {
      text += static_cast<char>(std::stoi(field.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      text += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
  }
  return text;
}

std::vector<Args> Table(const std::string& name) {
  std::vector<Args> rows;
  std::istringstream lines(ReadFile(Data(name)));
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] == '#') continue;
    Args row;
    std::istringstream fields(line);
    for (std::string field; std::getline(fields, field, '\t');) row.push_back(Unescape(field));
    if (line.back() == '\t') row.emplace_back();
    rows.push_back(row);
  }
  return rows;
}

TestRoot::TestRoot() {
  char dir_template[] = "/tmp/corvane-root-XXXXXX";
  if (mkdtemp(dir_template) == nullptr) throw std::runtime_error("mkdtemp failed");
  dir = dir_template;
  chmod(dir.c_str(), 0755);
  fs::create_directories(Path("/tmp"));
  fs::create_directories(Path("/stub-log"));
  fs::create_directories(Path("/opt/corvane/km3030/bin/lpd"));
  fs::copy(CORVANE_SOURCE_DIR "/samples/driver/km3030/bin/inf", Inf(), fs::copy_options::recursive);
  WriteFile(Ppd(), ReadFile(CORVANE_SOURCE_DIR "/samples/ppd/label-printer.ppd"));
  InstallCupsTool(false);
  setenv("CORVANE_TEST_ROOT", dir.c_str(), 1);
}

TestRoot::~TestRoot() {
  std::error_code ignored;
  fs::remove_all(dir, ignored);
}

std::string TestRoot::Inf(const std::string& file) const {
  return Path("/opt/corvane/km3030/bin/inf/" + file);
}

std::string TestRoot::Ppd(const std::string& queue) const {
  return Path("/etc/cups/ppd/" + queue + ".ppd");
}

Env TestRoot::ToolEnv(const Env& extra) const {
  Env env = {{"CORVANE_TEST_ROOT", dir},
             {"PATH", Stubs() + ":" + std::getenv("PATH")},
             {"STUB_LOG_DIR", Path("/stub-log")}};
  env.insert(env.end(), extra.begin(), extra.end());
  return env;
}

std::vector<Args> TestRoot::Calls() const {
  std::vector<Args> calls;
  for (const auto& [name, data] : Tree(Path("/stub-log"))) {
    Args call;
    std::istringstream words(data);
    for (std::string word; std::getline(words, word, '\0');) call.push_back(word);
    calls.push_back(call);
  }
  return calls;
}

void TestRoot::ClearCalls() const {
  fs::remove_all(Path("/stub-log"));
  fs::create_directories(Path("/stub-log"));
}

void TestRoot::InstallCupsTool(bool real) const {
  const std::string tool = Path("/opt/corvane/km3030/bin/lpd/cvpapertoolcups");
  fs::remove(tool);
  fs::create_symlink(real ? CupsTool() : Stubs() + "/cvpapertoolcups", tool);
}

RunResult TestRoot::Cups(const Args& args, const Env& extra) const {
  return Run(CupsTool(), args, ToolEnv(extra));
}

RunResult TestRoot::Lpr(const Args& args, const Env& extra) const {
  return Run(LprTool(), args, ToolEnv(extra), "cvpapertoollpr_km3030");
}

std::vector<std::pair<std::string, std::string>> Tree(const std::string& dir) {
  std::vector<std::pair<std::string, std::string>> files;
  std::error_code ignored;
  for (const auto& entry : fs::recursive_directory_iterator(dir, ignored)) {
    if (!fs::is_regular_file(entry.symlink_status())) continue;
    files.emplace_back(fs::relative(entry.path(), dir).string(), ReadFile(entry.path()));
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace ts
