// Encoding the 126-byte custom-tape media record in printer dots, and writing its file.
#include "media_record.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "text_format.h"
#include "units.h"

namespace {

// Offsets of the record's fields; every byte not named here stays zero.
constexpr size_t kMediaCodeAt = 0;        // 1 byte: 4 continuous tape, 5 otherwise
constexpr size_t kWidthMmAt = 1;          // 1 byte: whole millimetres, modulo 256
constexpr size_t kLengthMmAt = 2;         // whole millimetres
constexpr size_t kSideDotsAt = 5;         // half the print width left over
constexpr size_t kPrintWidthDotsAt = 7;   // width less left and right margins
constexpr size_t kPrintLengthDotsAt = 9;  // length less top and bottom margins
constexpr size_t kSizeTextMmAt = 76;      // 16-byte slot
constexpr size_t kSizeTextInchAt = 92;    // 16-byte slot
constexpr size_t kFeedDotsAt = 110;       // label pitch
constexpr size_t kTopDotsAt = 114;
constexpr size_t kMarkOffsetDotsAt = 116;
constexpr size_t kMarkDotsAt = 118;
constexpr size_t kMediaKindAt = 120;  // 1 byte
constexpr size_t kBottomDotsAt = 121;
constexpr size_t kSizeTextSlot = 16;

constexpr int64_t kTruncateBound = 1'000'000'000'000'000;

constexpr std::array<uint8_t, 6> kMediaCommandHeader = {0x1B, 0x69, 0x55, 0x77, 0x01, 0x3F};

// Stores the low 16 bits of `value` little-endian.
void PutInt16(MediaRecord& record, size_t offset, int64_t value) {
  const auto bits = static_cast<uint64_t>(value);
  record[offset] = static_cast<uint8_t>(bits & 0xFF);
  record[offset + 1] = static_cast<uint8_t>((bits >> 8) & 0xFF);
}

// Stores at most 15 characters of `text` and a terminating zero.
void PutText(MediaRecord& record, size_t offset, const std::string& text) {
  const size_t length = std::min(text.size(), kSizeTextSlot - 1);
  std::memcpy(record.data() + offset, text.data(), length);
  record[offset + length] = 0;
}

mode_t PlainCreateMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Rounds `value`, which carries `digits` extra decimal digits, half away from
// zero and drops those digits: RoundDigits(15, 1) is 2, RoundDigits(1499, 3) is 1.
int64_t RoundDigits(int64_t value, int digits) {
  const auto half = static_cast<int64_t>(std::pow(10.0, digits - 1));
  const auto unit = static_cast<int64_t>(std::pow(10.0, digits));
  value += value >= 0 ? 5 * half : -5 * half;
  return value / unit;
}

}  // namespace

int64_t TruncateToInt64(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(kTruncateBound)) return kTruncateBound;
  if (value <= -static_cast<double>(kTruncateBound)) return -kTruncateBound;
  return static_cast<int64_t>(value);
}

namespace {

constexpr int64_t kTenthsMmPerInch = 254;

// D: tenths of dots per inch, so that tenths of millimetres divide by 254.
int64_t TenthsDpi(const LabelGeometry& geometry) {
  return 10 * TruncateToInt64(geometry.resolution);
}

// Whole dots of a width or length from its truncated tenths of millimetres.
int64_t SizeDots(int64_t tenths_mm, int64_t d) {
  return RoundDigits(d * tenths_mm / kTenthsMmPerInch, 1);
}

// Dots of a margin, gap or mark, through thousandths, in this order.
int64_t MarginDots(double mm, int64_t d) {
  return RoundDigits(TruncateToInt64(((1000.0 * mm) * static_cast<double>(d)) /
                                     static_cast<double>(kTenthsMmPerInch)),
                     3);
}

// Half the print width left over.  The area width counts the left margin twice
// and not the right one, as stored records and the printer's firmware expect.
int64_t SideDots(const LabelGeometry& geometry, int64_t d) {
  const double w10 = static_cast<double>(TruncateToInt64(geometry.width * 10.0));
  const int64_t area =
      RoundDigits(TruncateToInt64((w10 - (10.0 * geometry.left + 10.0 * geometry.left)) *
                                  static_cast<double>(d) / static_cast<double>(kTenthsMmPerInch)),
                  1);
  return (TruncateToInt64(geometry.max_print_width) - area) / 2;
}

void PutSizeTexts(MediaRecord& record, const LabelGeometry& geometry, bool continuous) {
  const auto width_mm = static_cast<long long>(TruncateToInt64(geometry.width));
  const auto length_mm = static_cast<long long>(TruncateToInt64(geometry.length));
  const double width_inch = geometry.width / kMmPerInch;
  const double length_inch = geometry.length / kMmPerInch;
  if (continuous) {
    PutText(record, kSizeTextMmAt, FormatText("%lldmm", width_mm));
    PutText(record, kSizeTextInchAt, FormatText("%.1f\"", width_inch));
  } else {
    PutText(record, kSizeTextMmAt, FormatText("%lldmm x %lldmm", width_mm, length_mm));
    PutText(record, kSizeTextInchAt, FormatText("%.1f\" x %.1f\"", width_inch, length_inch));
  }
}

}  // namespace

int MakeMediaRecord(MediaRecord& record, const LabelGeometry& geometry, int32_t media_kind) {
  const int64_t d = TenthsDpi(geometry);
  const int64_t width = SizeDots(TruncateToInt64(geometry.width * 10.0), d);
  const int64_t length = SizeDots(TruncateToInt64(10.0 * geometry.length), d);
  const int64_t top = MarginDots(geometry.top, d);
  const int64_t bottom = MarginDots(geometry.bottom, d);
  const bool continuous = media_kind == kContinuousTape;
  const auto width_mm = static_cast<uint64_t>(TruncateToInt64(geometry.width));
  record[kMediaCodeAt] = continuous ? 4 : 5;
  record[kWidthMmAt] = static_cast<uint8_t>(width_mm & 0xFF);
  PutInt16(record, kLengthMmAt, TruncateToInt64(geometry.length));
  PutInt16(record, kSideDotsAt, SideDots(geometry, d));
  PutInt16(record, kPrintWidthDotsAt,
           width - MarginDots(geometry.left, d) - MarginDots(geometry.right, d));
  PutInt16(record, kTopDotsAt, top);
  PutInt16(record, kBottomDotsAt, bottom);
  PutSizeTexts(record, geometry, continuous);
  if (continuous) return 0;
  PutInt16(record, kPrintLengthDotsAt, length - top - bottom);
  if (media_kind == kMarkedMedia) {
    PutInt16(record, kFeedDotsAt, length);
    PutInt16(record, kMarkOffsetDotsAt, MarginDots(geometry.mark_offset, d));
    PutInt16(record, kMarkDotsAt, MarginDots(geometry.mark, d));
    record[kMediaKindAt] = kMarkedMedia;
  } else {
    PutInt16(record, kFeedDotsAt, MarginDots(geometry.gap, d) + length);
    if (media_kind == kDieCutLabel) record[kMediaKindAt] = kDieCutLabel;
  }
  return 0;
}

int StageMediaFile(const std::string& path, const MediaRecord& record, StagedFile* staged) {
  std::string data(kMediaCommandHeader.begin(), kMediaCommandHeader.end());
  data.append(record.begin(), record.end());
  return StageFile(path, PlainCreateMode(), data, staged);
}
