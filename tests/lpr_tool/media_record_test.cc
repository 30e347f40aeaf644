// The custom-tape media record byte for byte, and its rounding.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "lpr_tool.h"

namespace {

struct Field {
  size_t offset;
  std::vector<uint8_t> bytes;
};

MediaRecord RecordOf(const std::vector<Field>& fields) {
  MediaRecord record{};
  for (const Field& field : fields) {
    std::memcpy(record.data() + field.offset, field.bytes.data(), field.bytes.size());
  }
  return record;
}

std::vector<uint8_t> Text(const char* text) { return {text, text + std::strlen(text)}; }

// The usage text's example: width 30, length 30, gap 3, top 3, bottom 3,
// left 1.5, right 1.5.
LabelGeometry HelpExample() {
  LabelGeometry geometry;
  geometry.gap = 3;
  geometry.width = 30;
  geometry.length = 30;
  geometry.top = 3;
  geometry.bottom = 3;
  geometry.left = 1.5;
  geometry.right = 1.5;
  geometry.resolution = kResolutionDpi;
  geometry.max_print_width = kMaxPrintWidthDots;
  return geometry;
}

MediaRecord Encode(const LabelGeometry& geometry, int32_t media_kind) {
  MediaRecord record{};
  EXPECT_EQ(MakeMediaRecord(record, geometry, media_kind), 0);
  return record;
}

TEST(RoundDigitsTest, RoundsHalvesAwayFromZero) {
  const struct {
    int64_t value;
    int digits;
    int64_t rounded;
  } cases[] = {{5, 1, 1},      {4, 1, 0},      {-5, 1, -1},    {-4, 1, 0},
               {15, 1, 2},     {0, 1, 0},      {1499, 3, 1},   {1500, 3, 2},
               {-1499, 3, -1}, {-1500, 3, -2}, {11988, 3, 12}, {2157, 1, 216}};
  for (const auto& c : cases) {
    EXPECT_EQ(RoundDigits(c.value, c.digits), c.rounded) << c.value << " " << c.digits;
  }
}

TEST(MediaRecordTest, HelpExampleForEachMediaKind) {
  const std::vector<Field> die_cut = {
      {0, {0x05, 0x1E, 0x1E, 0x00}}, {5, {0x74, 0x00, 0xD8, 0x00, 0xC0, 0x00}},
      {76, Text("30mm x 30mm")},     {92, Text("1.2\" x 1.2\"")},
      {110, {0x08, 0x01}},           {114, {0x18, 0x00}},
      {120, {0x01, 0x18, 0x00}},
  };
  EXPECT_EQ(Encode(HelpExample(), 1), RecordOf(die_cut));

  std::vector<Field> other_kind = die_cut;
  other_kind.push_back({120, {0x00}});
  EXPECT_EQ(Encode(HelpExample(), 3), RecordOf(other_kind));
  EXPECT_EQ(Encode(HelpExample(), 7), RecordOf(other_kind));

  EXPECT_EQ(Encode(HelpExample(), 0), RecordOf({
                                          {0, {0x04, 0x1E, 0x1E, 0x00}},
                                          {5, {0x74, 0x00, 0xD8, 0x00}},
                                          {76, Text("30mm")},
                                          {92, Text("1.2\"")},
                                          {114, {0x18, 0x00}},
                                          {121, {0x18, 0x00}},
                                      }));

  LabelGeometry marked = HelpExample();
  marked.mark = 2;
  marked.mark_offset = 1;
  std::vector<Field> with_marks = die_cut;
  with_marks.push_back({110, {0xF0, 0x00}});
  with_marks.push_back({116, {0x08, 0x00, 0x10, 0x00, 0x02}});
  EXPECT_EQ(Encode(marked, 2), RecordOf(with_marks));
}

TEST(MediaRecordTest, NegativeValuesAreStoredAsSixteenBitsAndWideTextsAreCut) {
  LabelGeometry wide = HelpExample();
  wide.width = 100;
  wide.left = 1;
  wide.right = 1;
  MediaRecord record = Encode(wide, 1);
  // (448 - 783) / 2 = -167 dots left over.
  EXPECT_EQ(record[5], 0x59);
  EXPECT_EQ(record[6], 0xFF);

  LabelGeometry long_label = HelpExample();
  long_label.width = 300;
  long_label.length = 100000;
  record = Encode(long_label, 1);
  EXPECT_EQ(record[1], 300 - 256);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&record[76]), 16),
            std::string("300mm x 100000m\0", 16));
  EXPECT_STREQ(reinterpret_cast<const char*>(&record[92]), "11.8\" x 3937.0\"");
  EXPECT_EQ(record[108], 0);
}

}  // namespace
