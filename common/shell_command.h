// Running commands through the shell, every value quoted as one literal word.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// `value` as one shell word that reaches the program literally: bare when not
// empty and only A-Z a-z 0-9 % + , - . / : = @ _, else in single quotes, ' as '\''.
std::string ShellQuote(std::string_view value);

// The words, each through ShellQuote, joined by single blanks.
std::string JoinWords(std::initializer_list<std::string_view> words);

// Each flushes the process's output, runs `command` through the shell and returns
// its exit status: 128 + the signal for a killed command, -1 when no shell started.

int RunCommand(const std::string& command);

// Runs `command`, collecting its standard output in `output`.
int RunCommandForOutput(const std::string& command, std::string* output);

// Runs `command` with `input` as its standard input.
int RunCommandWithInput(const std::string& command, std::string_view input);
