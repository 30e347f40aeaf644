// The one way every main runs a tool's work.
#pragma once

// Returns run(argc, argv), or, when an exception escapes it, writes
// "<program>: <message>" on standard error and returns exit status 1.
int RunGuarded(const char* program, int (*run)(int argc, char** argv), int argc, char** argv);
