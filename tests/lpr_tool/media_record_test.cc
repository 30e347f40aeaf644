// The custom-tape media record byte for byte, and its rounding.
#include <gtest/gtest.h>

#include <cstring>

#include "lpr_tool.h"
#include "media_record.h"

namespace {

using Fields = std::vector<std::pair<size_t, std::string>>;  // offset, bytes

MediaRecord RecordOf(const Fields& fields) {
  MediaRecord record{};
  for (const auto& [offset, bytes] : fields)
    std::memcpy(&record[offset], bytes.data(), bytes.size());
  return record;
}

// The usage text's example: gap 3, width 30, length 30, top 3, bottom 3, left and right 1.5.
MediaRecord Encode(int32_t media_kind, double width = 30, double length = 30, double mark = 0,
                   double mark_offset = 0) {
  const LabelGeometry geometry{
      3, width, length, 3, 3, 1.5, 1.5, mark, mark_offset, kResolutionDpi, kMaxPrintWidthDots};
  MediaRecord record{};
  EXPECT_EQ(MakeMediaRecord(record, geometry, media_kind), 0);
  return record;
}

TEST(RoundDigitsTest, RoundsHalvesAwayFromZero) {
  const int64_t cases[][3] = {{5, 1, 1},    {4, 1, 0},    {-5, 1, -1},    {-4, 1, 0},
                              {1499, 3, 1}, {1500, 3, 2}, {-1500, 3, -2}, {-1499, 3, -1}};
  for (const auto& c : cases) EXPECT_EQ(RoundDigits(c[0], static_cast<int>(c[1])), c[2]) << c[0];
}

TEST(MediaRecordTest, HelpExampleForEachMediaKind) {
  using namespace std::string_literals;
  const Fields die_cut = {{0, "\x05\x1E\x1E\x00"s}, {5, "\x74\x00\xD8\x00\xC0\x00"s},
                          {76, "30mm x 30mm"},      {92, "1.2\" x 1.2\""},
                          {110, "\x08\x01"s},       {114, "\x18\x00"s},
                          {120, "\x01\x18\x00"s}};
  EXPECT_EQ(Encode(1), RecordOf(die_cut));
  Fields other = die_cut;
  other.push_back({120, "\x00"s});
  EXPECT_EQ(Encode(3), RecordOf(other));
  Fields marked = die_cut;
  marked.push_back({110, "\xF0\x00"s});
  marked.push_back({116, "\x08\x00\x10\x00\x02"s});
  EXPECT_EQ(Encode(2, 30, 30, 2, 1), RecordOf(marked));
  EXPECT_EQ(Encode(0), RecordOf({{0, "\x04\x1E\x1E\x00"s},
                                 {5, "\x74\x00\xD8\x00"s},
                                 {76, "30mm"},
                                 {92, "1.2\""},
                                 {114, "\x18\x00"s},
                                 {121, "\x18\x00"s}}));
}

TEST(MediaRecordTest, NegativeValuesWrapToSixteenBitsAndLongTextsAreCut) {
  MediaRecord record = Encode(1, 100);  // (448 - 775) / 2 = -163 dots left over
  EXPECT_EQ(record[5], 0x5D);
  EXPECT_EQ(record[6], 0xFF);
  record = Encode(1, 300, 100000);
  EXPECT_EQ(record[1], 300 - 256);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&record[76]), 16),
            std::string("300mm x 100000m\0", 16));
  EXPECT_STREQ(reinterpret_cast<const char*>(&record[92]), "11.8\" x 3937.0\"");
}

}  // namespace
