// Quoting of values put into commands that the shell runs.
#pragma once

#include <string>
#include <string_view>

// Returns `value` as one shell word that reaches the program literally: bare
// when it is not empty and holds only A-Z a-z 0-9 % + , - . / : = @ _,
// otherwise in single quotes with each ' written as '\''.
std::string ShellQuote(std::string_view value);

// Returns `value` as one shell word between double quotes: each backslash,
// double quote, dollar sign and backquote inside gets a backslash in front of it.
std::string DoubleQuote(std::string_view value);
