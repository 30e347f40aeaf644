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
inline constexpr std::string_view kDebugLogPath = "/tmp/cvinkjet_lprng_debuglog.txt";

// The real path for a fixed path above or one below it: unchanged when installed;
// under $CORVANE_TEST_ROOT in test builds (CORVANE_RELOCATABLE), which exit with
// status 2 unless it names an absolute path, so tests never touch the system.
std::string FixedPath(std::string_view fixed);
