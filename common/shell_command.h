// Running commands through the shell, every value quoted as one literal word.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// Returns `value` as one shell word that reaches the program literally: bare
// when it is not empty and holds only A-Z a-z 0-9 % + , - . / : = @ _,
// otherwise in single quotes with each ' written as '\''.
std::string ShellQuote(std::string_view value);

// One command line for the shell: the words quoted with ShellQuote, joined
// by single blanks.
std::string JoinWords(std::initializer_list<std::string_view> words);

// Flushes the process's output, runs `command` through the shell and returns
// 0 when it exited with status 0, -2 for any other outcome (a shell that
// cannot run included).
int RunCommand(const std::string& command);

// The same, collecting the command's standard output in `output`.
int RunCommandForOutput(const std::string& command, std::string* output);
