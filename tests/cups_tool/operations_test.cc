// The margin constraints and the device URI reading, in-process.
#include <gtest/gtest.h>
#include <unistd.h>

#include "cups_tool.h"
#include "reregister_queue.h"
#include "file_rewrite.h"
#include "test_support.h"

namespace {

using testing_support::ReadFile;
using testing_support::SplitLines;

TEST(SetConstraints, ExcludesMarginsOfAtLeastHalfTheLength) {
  testing_support::TestRoot root;
  const struct {
    int64_t length_mm;
    size_t lines;
  } cases[] = {{1, 28}, {6, 28}, {7, 27}, {29, 16}, {30, 16}, {59, 1}, {60, 1}, {61, 0}, {70, 0}};
  for (const auto& c : cases) {
    const std::string path = root.Path("/tmp/constraints");
    int fd = CreateFreshFd(path, 0644);
    ASSERT_GE(fd, 0);
    LineWriter out(fd);
    EXPECT_EQ(SetConstraints(out, "CvL101D04673C5A", c.length_mm), 0);
    EXPECT_EQ(FlushLineWriter(out), 0);
    close(fd);
    auto lines = SplitLines(ReadFile(path));
    ASSERT_EQ(lines.size(), c.lines) << c.length_mm;
    if (c.lines == 0) continue;
    EXPECT_EQ(lines.front(), "*UIConstraints:\t*CvMargin " + std::to_string(31 - c.lines) +
                                 "\t*PageSize CvL101D04673C5A");
    EXPECT_EQ(lines.back(), "*UIConstraints:\t*CvMargin 30\t*PageSize CvL101D04673C5A");
  }
}

TEST(FindDeviceUri, TakesTheWordThatBeginsWithTheKey) {
  const struct {
    std::string line;
    const char* uri;  // nullptr: none found
  } cases[] = {
      {"copies=1 device-uri=usb://M/Z?serial=A1&if=1 finishings=3", "usb://M/Z?serial=A1&if=1"},
      {"device-uri=file:///dev/null", "file:///dev/null"},
      {"a=1  device-uri=lpd://h/q\tx y=2", "lpd://h/q\tx"},
      {"copies=1 device-uri=", ""},
      {"auth-info='x device-uri=file:///etc/shadow y' device-uri=ipp://h/q", "ipp://h/q"},
      {"auth-info=\"x device-uri=file:///a\" device-uri=ipp://h/q", "ipp://h/q"},
      // lpoptions escapes nothing inside its single quotes.
      {"auth-info='it's x device-uri=file:///a' device-uri=ipp://h/q", "ipp://h/q"},
      {"auth-info='a\\' device-uri=ipp://h/q", "ipp://h/q"},
      {"printer-info='x device-uri=file:///etc/shadow y'", nullptr},
      {"xdevice-uri=file:///a", nullptr},
      {"copies=1", nullptr},
      {std::string(5000, 'x') + " device-uri=ipp://far/q", "ipp://far/q"},
      {std::string("device-uri=ipp://h/q\0 tail", 26), "ipp://h/q"},
  };
  for (const auto& c : cases) {
    std::string uri = "unchanged";
    EXPECT_EQ(FindDeviceUri(c.line, &uri), c.uri != nullptr) << c.line;
    EXPECT_EQ(uri, c.uri != nullptr ? c.uri : "unchanged") << c.line;
  }
}

}  // namespace
