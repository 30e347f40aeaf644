// Running commands through the shell, every value quoted as one literal word.
#include "shell_command.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

bool IsShellSafe(char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  return std::string_view("%+,-./:=@_").find(c) != std::string_view::npos;
}

int ExitStatus(int wait_status) {
  if (wait_status == -1) return -1;
  if (WIFEXITED(wait_status)) return WEXITSTATUS(wait_status);
  return WIFSIGNALED(wait_status) ? 128 + WTERMSIG(wait_status) : -1;
}

}  // namespace

std::string ShellQuote(std::string_view value) {
  bool bare = !value.empty();
  for (char c : value) bare = bare && IsShellSafe(c);
  if (bare) return std::string(value);
  std::string quoted = "'";
  for (char c : value) quoted += c == '\'' ? std::string_view("'\\''") : std::string_view(&c, 1);
  return quoted + "'";
}

std::string JoinWords(std::initializer_list<std::string_view> words) {
  std::string command;
  for (std::string_view word : words) {
    if (!command.empty()) command += ' ';
    command += ShellQuote(word);
  }
  return command;
}

int RunCommand(const std::string& command) {
  std::fflush(nullptr);
  return ExitStatus(std::system(command.c_str()));
}

int RunCommandForOutput(const std::string& command, std::string* output) {
  std::fflush(nullptr);
  std::FILE* pipe = popen(command.c_str(), "re");
  if (pipe == nullptr) return -1;
  char block[4096];
  size_t got = 0;
  while ((got = std::fread(block, 1, sizeof block, pipe)) > 0) output->append(block, got);
  return ExitStatus(pclose(pipe));
}

int RunCommandWithInput(const std::string& command, std::string_view input) {
  std::fflush(nullptr);
  std::FILE* pipe = popen(command.c_str(), "we");
  if (pipe == nullptr) return -1;
  // A command that ends without reading all of its input must not end this
  // process too: its exit status tells what happened.
  struct sigaction ignore {
  }, saved{};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &ignore, &saved);
  // Written past the stream's buffer, so that input the command left unread
  // cannot make pclose report a failed flush instead of the command's status.
  for (size_t done = 0; done < input.size();) {
    const ssize_t written = write(fileno(pipe), input.data() + done, input.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) break;
    done += static_cast<size_t>(written);
  }
  const int status = ExitStatus(pclose(pipe));
  sigaction(SIGPIPE, &saved, nullptr);
  return status;
}
