// The fixed places of the platform around the tools: the one file that names them.
#pragma once

#include <string>
#include <string_view>

// The PPD directory of CUPS; a queue's PPD is "<dir><queue>.ppd".
inline constexpr std::string_view kPpdDir = "/etc/cups/ppd/";
// The driver's installation tree; a model's files live under "<root><model>/bin/".
inline constexpr std::string_view kDriverRoot = "/opt/corvane/";
// The edited copy of a PPD that is handed to lpadmin.
inline constexpr std::string_view kScratchPpdPath = "/tmp/pTmpPPD";
// Receives the first output line of lpoptions (the queue's device URI).
inline constexpr std::string_view kScratchUriPath = "/tmp/uri";
// The append-only debug log of both paper-size tools.
inline constexpr std::string_view kDebugLogPath = "/tmp/cvinkjet_lprng_debuglog.txt";

// Returns the real path for one of the fixed absolute paths above (or a path
// below one of them).  The installed programs return it unchanged.  Their
// test copies (compiled with CORVANE_RELOCATABLE) put it under
// $CORVANE_TEST_ROOT and end the process with status 2 when that variable is
// unset, so that a test can never touch the real system.
std::string FixedPath(std::string_view fixed);
