// Shared fixture of the hardening tests.
#include "hardening_support.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace hardening {

namespace fs = std::filesystem;

std::string SamplePpd() { return ts::ReadFile(ts::SampleDataDir() + "/ppd/label-printer.ppd"); }

std::string SampleInfo(const std::string& name) {
  return ts::ReadFile(ts::SampleDataDir() + "/driver/km3030/bin/inf/" + name);
}

std::string OptionLine(const std::string& uri) {
  return "copies=1 device-uri=" + uri + " finishings=3 printer-is-shared=true";
}

ts::Env WithoutLeakScan() {
  // Options given later override earlier ones.
  const char* options = std::getenv("ASAN_OPTIONS");
  return {{"ASAN_OPTIONS", std::string(options != nullptr ? options : "") + ":detect_leaks=0"}};
}

std::string FixedLabelId(size_t name_length) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string id = "CvL00";
  id[3] = kHex[(name_length >> 4) & 0xF];
  id[4] = kHex[name_length & 0xF];
  return id + "1E01E12345";
}

std::string WithoutLinesHolding(const std::string& text, const std::vector<std::string>& ids) {
  std::string kept;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    const std::string_view line(text.data() + start, end - start);
    if (std::none_of(ids.begin(), ids.end(),
                     [&](const std::string& id) { return line.find(id) != line.npos; })) {
      kept.append(line);
    }
    start = end;
  }
  return kept;
}

size_t LinesHolding(const std::string& text, std::string_view needle) {
  size_t count = 0;
  for (const std::string& line : ts::SplitLines(text)) {
    if (line.find(needle) != std::string::npos) ++count;
  }
  return count;
}

// ---- ToolFixture -----------------------------------------------------------

ToolFixture::ToolFixture() {
  InstallQueue(SamplePpd());
  fs::create_directories(inf + "/customtape");
  for (const std::string& name : kInfoFiles) WriteInfo(name, SampleInfo(name));
  InstallCupsTool(ts::StubDir() + "/cvpapertoolcups");
}

std::string ToolFixture::QueuePpd(const std::string& queue) const {
  return root.Path("/etc/cups/ppd/" + queue + ".ppd");
}

void ToolFixture::InstallQueue(const std::string& ppd, const std::string& queue) const {
  ts::WriteFile(QueuePpd(queue), ppd);
}

void ToolFixture::InstallCupsTool(const std::string& program) const {
  ts::WriteFile(root.Path("/opt/corvane/km3030/bin/lpd/cvpapertoolcups"), ts::ReadFile(program),
                0755);
}

std::string ToolFixture::Info(const std::string& name) const {
  return ts::ReadFile(inf + "/" + name);
}

void ToolFixture::WriteInfo(const std::string& name, const std::string& text) const {
  ts::WriteFile(inf + "/" + name, text);
}

std::map<std::string, std::string> ToolFixture::InfoFiles() const {
  std::map<std::string, std::string> files;
  for (const std::string& name : kInfoFiles) files[name] = Info(name);
  return files;
}

ts::Env ToolFixture::Env(const ts::Env& extra) const {
  ts::Env env = root.ToolEnv();
  env.emplace_back("STUB_LPOPTIONS_LINE", OptionLine(kUsbUri));
  ts::Env added = fixture_env;
  added.insert(added.end(), extra.begin(), extra.end());
  for (const auto& [name, value] : added) {
    std::erase_if(env, [&](const auto& entry) { return entry.first == name; });
    env.emplace_back(name, value);
  }
  return env;
}

ts::RunResult ToolFixture::Cups(const Args& args, const ts::Env& extra) const {
  return ts::Run(ts::CupsToolPath(), args, Env(extra));
}

ts::RunResult ToolFixture::Lpr(const Args& args, const ts::Env& extra) const {
  return ts::Run(ts::LprToolPath(), args, Env(extra), kLprProgramName);
}

Args ToolFixture::LprAddition(const std::string& name, const std::string& queue) {
  return {"-P", queue, "-n", name, "-w", "30",  "-h", "30",  "-g", "3.0",
          "-b", "3",   "-t", "3",  "-r", "1.5", "-l", "1.5", "-S", "1"};
}

Args ToolFixture::CupsAddition(const std::string& name, const std::string& queue,
                               const std::string& length_mm) {
  return {"-P", queue, "-n", name, "-w", "30",  "-h", length_mm,
          "-l", "1.5", "-t", "3",  "-r", "1.5", "-b", "3"};
}

Calls ToolFixture::ReRegistration(const std::string& queue, const std::string& uri) const {
  (void)uri;
  return {{"lpoptions", "-p", queue}, {"lpadmin", "-p", queue, "-P", root.Path("/tmp/pTmpPPD")}};
}

// ---- Processes started side by side ------------------------------------------

pid_t Start(const std::string& program, const Args& args, const ts::Env& env,
            const std::string& argv0, const std::string& output) {
  std::vector<std::string> env_strings;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text(*entry);
    const std::string name = text.substr(0, text.find('='));
    if (std::none_of(env.begin(), env.end(), [&](const auto& kv) { return kv.first == name; })) {
      env_strings.push_back(text);
    }
  }
  for (const auto& [name, value] : env) env_strings.push_back(name + "=" + value);
  std::vector<std::string> arg_strings = {argv0.empty() ? program : argv0};
  arg_strings.insert(arg_strings.end(), args.begin(), args.end());
  std::vector<char*> argv, envp;
  for (std::string& arg : arg_strings) argv.push_back(arg.data());
  argv.push_back(nullptr);
  for (std::string& entry : env_strings) envp.push_back(entry.data());
  envp.push_back(nullptr);

  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    setpgid(0, 0);
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(in, 0);
    dup2(out, 1);
    dup2(out, 2);
    execve(program.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  setpgid(pid, pid);  // also here, so that the group exists before fork returns to the caller
  return pid;
}

namespace {

int StatusOf(int wstatus) {
  return WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
}

}  // namespace

bool WaitAll(const std::vector<pid_t>& pids, int seconds, std::vector<int>* statuses) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  statuses->assign(pids.size(), -1);
  std::vector<bool> running(pids.size(), true);
  size_t left = pids.size();
  while (left > 0 && std::chrono::steady_clock::now() < deadline) {
    for (size_t i = 0; i < pids.size(); ++i) {
      int wstatus = 0;
      if (running[i] && waitpid(pids[i], &wstatus, WNOHANG) == pids[i]) {
        (*statuses)[i] = StatusOf(wstatus);
        running[i] = false;
        --left;
      }
    }
    if (left > 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  for (size_t i = 0; i < pids.size(); ++i) {
    if (running[i]) EndGroup(pids[i]);
  }
  return left == 0;
}

void EndGroup(pid_t pid) {
  kill(-pid, SIGKILL);
  int wstatus = 0;
  waitpid(pid, &wstatus, 0);
}

bool AwaitFile(const std::string& path, int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!ts::Exists(path)) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

ScopedWorkingDirectory::ScopedWorkingDirectory(const std::string& dir)
    : previous_(fs::current_path().string()) {
  fs::current_path(dir);
}

ScopedWorkingDirectory::~ScopedWorkingDirectory() {
  std::error_code ignored;
  fs::current_path(previous_, ignored);
}

}  // namespace hardening
