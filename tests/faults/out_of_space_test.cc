// Out of space: each tool run on a tmpfs left with 0, 4, 8, ... KiB free until
// the run fits, for the PPD copy and for the information and media files.
#include <gtest/gtest.h>

#include <iostream>

#include "fault_support.h"

namespace faults {
namespace {

// No scenario needs anywhere near this many pages.
constexpr uint64_t kMostPages = 400;

class OutOfSpaceTest : public ::testing::TestWithParam<Scenario> {};

// The CUPS tool gets a small /tmp (its edited copy, the URI file and the kept
// PPD); the LPRng tool a small information directory (its information files,
// their temporary files and the media file).
TEST_P(OutOfSpaceTest, EveryStepOfFreeSpaceEndsInSuccessOrACleanFailure) {
  const std::string refused = EnterPrivateMountNamespace();
  if (!refused.empty()) GTEST_SKIP() << refused;
  ScenarioRoot setup(GetParam(), RealisticFormats(GetParam().tool));
  const bool cups = GetParam().tool == Tool::kCups;
  Tmpfs small(cups ? setup.root.Path("/tmp") : setup.watched);
  if (!small.error().empty()) GTEST_SKIP() << small.error();

  int failed = 0, untouched = 0;
  for (uint64_t pages = 0;; ++pages) {
    ASSERT_LT(pages, kMostPages) << "the run never fitted";
    small.Unlimit();
    setup.Reset();
    ASSERT_EQ(small.LeaveFreePages(pages), pages);
    const Outcome outcome = setup.Check(setup.Run(), std::to_string(pages * 4) + " KiB free");
    if (::testing::Test::HasFailure()) return;
    if (outcome == Outcome::kDone) {
      std::cout << GetParam().name << ": " << pages + 1 << " steps of free space, " << failed
                << " failed cleanly, " << untouched << " left the queue untouched\n";
      EXPECT_GT(failed, 0) << "the files never outgrew the free space";
      return;
    }
    (outcome == Outcome::kFailed ? failed : untouched) += 1;
  }
}

std::string ScenarioName(const ::testing::TestParamInfo<Scenario>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Cups, OutOfSpaceTest, ::testing::ValuesIn(CupsScenarios()), ScenarioName);
INSTANTIATE_TEST_SUITE_P(Lpr, OutOfSpaceTest, ::testing::ValuesIn(LprScenarios()), ScenarioName);

}  // namespace
}  // namespace faults
