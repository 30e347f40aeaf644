// Making CUPS take up an edited PPD for a queue, used by AddLabel and RemoveLabel.
#pragma once

#include <string>
#include <string_view>

// Makes CUPS take up `ppd_path` for the queue printer_name in place: asks
// lpoptions for the queue's options into the scratch URI file (created
// afresh, mode 0644, just before), checks that its first line names a device
// URI, then runs "lpadmin -p <queue> -P <ppd_path>", which keeps the queue's
// jobs and settings.  Every value reaches the commands shell-quoted.
// Returns 0 when lpadmin succeeded; -1 (errno set) when the scratch URI file
// cannot be created or read; -2 when a command fails or the first line holds
// no device URI.  For -2 the queue is unchanged, and one line on standard
// error names the queue and the failed command, whatever show_output says.
int ReRegisterQueue(const std::string& ppd_path);

// Finds the device URI on the first line that lpoptions printed (without its
// line feed): the first word that begins with "device-uri=", where words are
// separated by spaces outside a quoted value ("name='...'", which lpoptions
// writes without escaping anything inside and ends at a quote followed by a
// space or the end of the line).  Stores the bytes behind "device-uri=" up to
// the next space, the end of the line or a zero byte in `uri` and returns
// true; false when no word begins with "device-uri=".
bool FindDeviceUri(std::string_view line, std::string* uri);
