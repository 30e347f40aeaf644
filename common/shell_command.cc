// Running commands through the shell, every value quoted as one literal word.
#include "shell_command.h"

#include <cstdio>
#include <cstdlib>

#include "paper_size_tool.h"

namespace {

bool IsShellSafe(char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  switch (c) {
    case '%':
    case '+':
    case ',':
    case '-':
    case '.':
    case '/':
    case ':':
    case '=':
    case '@':
    case '_':
      return true;
    default:
      return false;
  }
}

}  // namespace

std::string ShellQuote(std::string_view value) {
  bool bare = !value.empty();
  for (char c : value) bare = bare && IsShellSafe(c);
  if (bare) return std::string(value);
  std::string quoted;
  quoted.reserve(value.size() + 2);
  quoted += '\'';
  for (char c : value) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  quoted += '\'';
  return quoted;
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
  return std::system(command.c_str()) == 0 ? kDone : kCommandError;
}

int RunCommandForOutput(const std::string& command, std::string* output) {
  std::fflush(nullptr);
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return kCommandError;
  char block[4096];
  size_t got;
  while ((got = std::fread(block, 1, sizeof block, pipe)) > 0) output->append(block, got);
  return pclose(pipe) == 0 ? kDone : kCommandError;
}
