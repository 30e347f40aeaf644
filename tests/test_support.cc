// Shared vocabulary of the tests.
#include "test_support.h"

#include <dirent.h>
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

extern char** environ;

namespace testing_support {

namespace fs = std::filesystem;

RunResult Run(const std::string& program, const std::vector<std::string>& args, const Env& env,
              const std::string& argv0) {
  char out_template[] = "/tmp/corvane-out-XXXXXX";
  char err_template[] = "/tmp/corvane-err-XXXXXX";
  int out_fd = mkstemp(out_template);
  int err_fd = mkstemp(err_template);
  if (out_fd < 0 || err_fd < 0) throw std::runtime_error("mkstemp failed");

  std::vector<std::string> env_strings;
  for (char** e = environ; *e != nullptr; ++e) {
    std::string entry(*e);
    std::string name = entry.substr(0, entry.find('='));
    bool overridden = std::any_of(env.begin(), env.end(), [&](const auto& kv) { return kv.first == name; });
    if (!overridden) env_strings.push_back(entry);
  }
  for (const auto& [name, value] : env) env_strings.push_back(name + "=" + value);

  std::vector<char*> argv;
  std::string first = argv0.empty() ? program : argv0;
  argv.push_back(first.data());
  std::vector<std::string> arg_copies = args;
  for (auto& a : arg_copies) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (auto& e : env_strings) envp.push_back(e.data());
  envp.push_back(nullptr);

  pid_t pid = fork();
  if (pid == 0) {
    int devnull = open("/dev/null", O_RDONLY);
    dup2(devnull, 0);
    dup2(out_fd, 1);
    dup2(err_fd, 2);
    execve(program.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  RunResult result;
  int wstatus = 0;
  while (waitpid(pid, &wstatus, 0) < 0) {
  }
  result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
  close(out_fd);
  close(err_fd);
  result.out = ReadFile(out_template);
  result.err = ReadFile(err_template);
  unlink(out_template);
  unlink(err_template);
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
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << data;
  }
  chmod(path.c_str(), mode);
}

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

mode_t ModeOf(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return 0;
  return st.st_mode & 07777;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string::size_type start = 0;
  while (start < text.size()) {
    auto end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> UsageExampleCupsAddition(const std::string& queue,
                                                  const std::string& name, const std::string& id) {
  return {"cvpapertoolcups", "-P", queue, "-n", name, "-w", "30", "-h", "30", "-l", "1.50",
          "-t", "3.00", "-r", "1.50", "-b", "3.00", "-g", "3.00", "-S", "1", "-m", "0.00",
          "-o", "0.00", "-specid", id, "-show", "1"};
}

TestRoot::TestRoot() {
  char dir_template[] = "/tmp/corvane-root-XXXXXX";
  if (mkdtemp(dir_template) == nullptr) throw std::runtime_error("mkdtemp failed");
  dir = dir_template;
  chmod(dir.c_str(), 0755);
  log_dir = dir + "/stub-log";
  for (const char* sub : {"/etc/cups/ppd", "/tmp", "/opt/corvane", "/stub-log"}) {
    fs::create_directories(dir + sub);
  }
  // In-process tests resolve fixed paths through the same variable.
  setenv("CORVANE_TEST_ROOT", dir.c_str(), 1);
}

TestRoot::~TestRoot() {
  std::error_code ignored;
  fs::remove_all(dir, ignored);
}

std::string TestRoot::Path(const std::string& fixed) const { return dir + fixed; }

Env TestRoot::ToolEnv() const {
  const char* path = std::getenv("PATH");
  return {{"CORVANE_TEST_ROOT", dir},
          {"PATH", StubDir() + ":" + (path != nullptr ? path : "/usr/bin:/bin")},
          {"STUB_LOG_DIR", log_dir},
          {"STUB_DIR", StubDir()}};
}

std::vector<std::vector<std::string>> TestRoot::Calls() const {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(log_dir, ignored)) {
    names.push_back(entry.path().string());
  }
  std::sort(names.begin(), names.end());
  std::vector<std::vector<std::string>> calls;
  for (const auto& name : names) {
    std::string data = ReadFile(name);
    std::vector<std::string> call;
    std::string::size_type start = 0;
    while (start < data.size()) {
      auto end = data.find('\0', start);
      if (end == std::string::npos) end = data.size();
      call.push_back(data.substr(start, end - start));
      start = end + 1;
    }
    calls.push_back(call);
  }
  return calls;
}

void TestRoot::ClearCalls() const {
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(log_dir, ignored)) fs::remove(entry.path(), ignored);
}

std::string CupsToolPath() { return CORVANE_CUPS_TOOL; }
std::string LprToolPath() { return CORVANE_LPR_TOOL; }
std::string Ps2psPath() { return CORVANE_PS2PS; }
std::string StubDir() { return CORVANE_STUB_DIR; }
std::string SampleDataDir() { return CORVANE_SAMPLE_DIR; }

}  // namespace testing_support
