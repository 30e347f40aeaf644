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

// Each of these flushes the process's output, runs `command` through the
// shell and returns its exit status: 0 for success, 128 + the signal number
// for a command killed by a signal, -1 when no shell could be started.

// Runs `command`.
int RunCommand(const std::string& command);

// Runs `command`, collecting its standard output in `output`.
int RunCommandForOutput(const std::string& command, std::string* output);

// Runs `command` with `input` as its standard input.
int RunCommandWithInput(const std::string& command, std::string_view input);
