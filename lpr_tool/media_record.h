// The custom-tape media record of a label format, in printer dots, and its file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "file_rewrite.h"
#include "paper_size_tool.h"

// Media kinds ("-S"), besides media with marks.
inline constexpr int kContinuousTape = 0;
inline constexpr int kDieCutLabel = 1;

inline constexpr size_t kMediaRecordSize = 126;
using MediaRecord = std::array<uint8_t, kMediaRecordSize>;
static_assert(sizeof(MediaRecord) == kMediaRecordSize, "the media record is packed");

// Truncates toward zero, holding values beyond +-10^15 at that bound and NaN at
// 0, so that the dot arithmetic that follows cannot overflow.
int64_t TruncateToInt64(double value);

// Fills `record` (all zero on entry) from `geometry` (resolution and
// max_print_width set) and `media_kind`: dots, 16-bit fields little-endian,
// size texts cut to 15 bytes and a zero.  Writes nothing else; returns 0.
int MakeMediaRecord(MediaRecord& record, const LabelGeometry& geometry, int32_t media_kind);

// Stages the printer command 1B 69 55 77 01 3F and `record` for the media file
// at `path`, with the mode a plain create gives (0666 less the umask).  Returns
// 0, or -1 with errno set when they cannot be written whole beside the file.
int StageMediaFile(const std::string& path, const MediaRecord& record, StagedFile* staged);
