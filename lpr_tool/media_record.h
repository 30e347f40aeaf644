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

// Truncates toward zero.  Values beyond +-10^15 (far beyond any label) are
// held at that bound and NaN gives 0, so the dot arithmetic that follows can
// never overflow.
int64_t TruncateToInt64(double value);

// Fills `record` (all zero on entry) from `geometry` (with `resolution` and
// `max_print_width` set) and `media_kind`: geometry in dots at the record's
// fixed offsets, 16-bit fields little-endian, and the two size texts cut to 15
// characters and a zero byte.  Writes nothing else; returns 0.
int MakeMediaRecord(MediaRecord& record, const LabelGeometry& geometry, int32_t media_kind);

// Stages the printer command that precedes the record (1B 69 55 77 01 3F)
// and `record` for the media file at `path` (StageFile), with the mode a
// plain create would give it (0666 less the umask); the file changes only
// when the staged content is committed.  Returns 0, or -1 with errno set when
// the content cannot be written whole beside the file.
int StageMediaFile(const std::string& path, const MediaRecord& record, StagedFile* staged);
