// Hostile values through the real shells: each quoted value must arrive as
// exactly one argument, byte for byte.
#include <gtest/gtest.h>

#include <random>

#include "shell_command.h"
#include "test_support.h"

namespace {

using testing_support::Run;

std::vector<std::string> HostileValues() {
  std::vector<std::string> values;
  for (int byte = 1; byte <= 255; ++byte) values.emplace_back(1, static_cast<char>(byte));
  const std::string meta = "|&;<>()$`\\\"' \t\n*?[]#~=%!{}^";
  for (char a : meta) {
    values.emplace_back(1, a);
    for (char b : meta) values.push_back(std::string{a, b});
  }
  std::mt19937 random(20261206);
  std::uniform_int_distribution<int> length(0, 40), byte(1, 255);
  for (int i = 0; i < 2000; ++i) {
    std::string value(static_cast<size_t>(length(random)), ' ');
    for (char& c : value) c = static_cast<char>(byte(random));
    values.push_back(value);
  }
  std::string big(64 * 1024, ' ');
  for (size_t i = 0; i < big.size(); ++i) big[i] = meta[i % meta.size()];
  values.push_back(big.substr(0, 4096));
  values.push_back(big);
  values.push_back("-n");
  values.push_back("--");
  return values;
}

// Runs `printf '%s\0' WORDS...` in `shell` for batches of quoted values and
// compares what arrives with the values.
void ExpectRoundTrip(const std::string& shell, const std::vector<std::string>& values,
                     std::string (*quote)(std::string_view)) {
  size_t next = 0;
  while (next < values.size()) {
    std::string script = "printf '%s\\0'";
    size_t first = next;
    while (next < values.size() && (next == first || script.size() + values[next].size() < 60000)) {
      script += ' ';
      script += quote(values[next++]);
    }
    std::string out = Run(shell, {"-c", script}).out;
    std::string expected;
    for (size_t i = first; i < next; ++i) expected += values[i] + '\0';
    ASSERT_EQ(out, expected) << shell << ": values " << first << " to " << next - 1;
  }
}

TEST(ShellQuoteTorture, EveryValueArrivesAsOneLiteralArgument) {
  std::vector<std::string> values = HostileValues();
  ASSERT_GE(values.size(), 3000u);
  for (const char* shell : {"/bin/sh", "/bin/bash"}) {
    ExpectRoundTrip(shell, values, ShellQuote);
  }
}

}  // namespace
