// Injected failures: the 1st, 2nd, ... write, flush, close, rename or fsync of
// a tool on its files fails, one per run, until a run has no such call left.
#include <gtest/gtest.h>

#include <cerrno>
#include <iostream>

#include "fault_support.h"

namespace faults {
namespace {

constexpr long kMostCalls = 1000;

struct Injection {
  const char* kind;
  int error;
};

const Injection kInjections[] = {
    {"write", ENOSPC}, {"flush", ENOSPC}, {"close", EIO}, {"rename", EIO}, {"fsync", EIO},
};

void PrintTo(const Injection& injection, std::ostream* out) { *out << injection.kind; }

using Case = std::tuple<Scenario, Injection>;

class InjectedFailureTest : public ::testing::TestWithParam<Case> {};

TEST_P(InjectedFailureTest, EachFailingCallEndsInSuccessOrACleanFailure) {
  const auto& [scenario, injection] = GetParam();
  ScenarioRoot setup(scenario, RealisticFormats(scenario.tool));
  const std::string report = setup.root.Path("/fault-report");
  int failed = 0, succeeded = 0;
  for (long at = 1;; ++at) {
    ASSERT_LT(at, kMostCalls) << "the calls never ran out";
    setup.Reset();
    std::remove(report.c_str());
    const ts::RunResult result =
        setup.Run(InjectionEnv(setup.root.dir, injection.kind, at, injection.error, report));
    const std::string made = ts::ReadFile(report);
    const Outcome outcome = setup.Check(result, made);
    // Data that may not have reached the disk must never pass for success.
    if (made.ends_with(" written\n")) {
      EXPECT_EQ(outcome, Outcome::kFailed) << made;
    }
    if (::testing::Test::HasFailure()) return;
    if (made.empty()) {
      EXPECT_EQ(outcome, Outcome::kDone);
      std::cout << scenario.name << ": " << at - 1 << " failing " << injection.kind << " calls, "
                << failed << " failed cleanly, " << succeeded << " did not matter\n";
      return;
    }
    (outcome == Outcome::kDone ? succeeded : failed) += 1;
  }
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
  return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).kind;
}

INSTANTIATE_TEST_SUITE_P(Cups, InjectedFailureTest,
                         ::testing::Combine(::testing::ValuesIn(CupsScenarios()),
                                            ::testing::ValuesIn(kInjections)),
                         CaseName);
INSTANTIATE_TEST_SUITE_P(Lpr, InjectedFailureTest,
                         ::testing::Combine(::testing::ValuesIn(LprScenarios()),
                                            ::testing::ValuesIn(kInjections)),
                         CaseName);

}  // namespace
}  // namespace faults
