// The shared label-format library of both paper-size tools: the result codes
// of their operations, the label geometry, the entry trace and the debug log.
// Line I/O (line_stream.h), label identifiers and look-ups (label_id.h) and
// listings (label_listing.h) have headers of their own.
#pragma once

#include <cerrno>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// Result codes of the file-editing operations.
inline constexpr int kDone = 0;
inline constexpr int kNotPresent = 1;     // the label format is not there; nothing changed
inline constexpr int kFileError = -1;     // a file could not be read or written
inline constexpr int kCommandError = -2;  // an external command failed or said nothing usable
inline constexpr int kNoPlaceInPpd = -3;  // the PPD has no place for a line of the format

// What an operation hands back to its tool's main, the one place that prints:
// its result code; for a failure, what failed (the file of kFileError, with
// its errno, or the words that say what went wrong); and the notices of the
// run, in order.
struct Outcome {
  int code = kDone;
  std::string failed;
  int error = 0;
  std::vector<std::string> notes;
};

// `outcome` (its notes kept) ending in the failure `code` of `failed`.
inline Outcome Failure(Outcome outcome, int code, std::string failed, int error = 0) {
  outcome.code = code;
  outcome.failed = std::move(failed);
  outcome.error = error;
  return outcome;
}

// A failure to read or write the file `path`, with the errno of the moment
// (pass a path that is built already, lest building it touch errno).
inline Outcome FileFailure(const std::string& path) {
  const int error = errno;
  return Failure({}, kFileError, path, error);
}

// The label geometry shared by both tools.  Lengths are millimetres;
// `resolution` (dots per inch) and `max_print_width` (dots) are set by the
// LPRng tool only.
struct LabelGeometry {
  double gap = 0;
  double width = 0;
  double length = 0;
  double top = 0;
  double bottom = 0;
  double left = 0;
  double right = 0;
  double mark = 0;
  double mark_offset = 0;
  double resolution = 0;
  double max_print_width = 0;
};

// Media with marks ("-S 2"), which needs a mark and a mark offset.
inline constexpr int kMarkedMedia = 2;

// The page size a default falls back to when its format goes.
inline constexpr char kFallbackPageSize[] = "50x30";

// The longest label name a PPD takes, in bytes.
inline constexpr size_t kMaxPpdLabelName = 32;

// Source name given to every entry trace.
inline constexpr char kTraceSource[] = "paper_size_tool";

// Entry trace called first by every named operation; it does nothing (trace.cc).
void TraceEnter(const char* source, const char* operation);

// Appends printf-style text to the debug log, opened on first use and kept
// open for the rest of the process.  Only a regular file of the process's own
// user that has no other name is appended to (created when missing); a
// symbolic link, a FIFO, a directory, a hard link or another user's file at
// the name counts as a log that cannot be opened.  Returns the number of
// characters written.  When the log cannot be opened or written, prints a
// message on standard output and ends the process with status 1.
int DebugLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
