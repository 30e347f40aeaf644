// Making CUPS take up an edited PPD for a queue, and telling the
// administrator when the queue was left as it was.
#pragma once

#include <map>
#include <string>

// Label identifiers that an edit of the PPD replaced, each with the one that
// took its place ("" when its format was removed).
using IdRenames = std::map<std::string, std::string, std::less<>>;

// Makes CUPS take up `ppd_path` for the queue printer_name in place: asks
// lpoptions for the queue's options into the scratch URI file (created
// afresh, mode 0644, just before), checks that its first line names a device
// URI, then runs "lpadmin -p <queue> -P <ppd_path>", which keeps the queue's
// jobs and settings.  Defaults that CUPS keeps outside the PPD and that name
// an identifier of `renamed` follow it: the queue's own ("-o KEY-default=NEW",
// or "-R KEY-default" for a removed format) in that same lpadmin call, then
// the calling user's lpoptions ("-o KEY=NEW" or "-r KEY"); a failure there is
// reported and leaves the result 0.  Every value reaches the commands
// shell-quoted.  Returns 0 when lpadmin succeeded; -1 (errno set) when the
// scratch URI file cannot be created or read; -2 when a command fails or the
// first line holds no device URI.  For -2 the queue is unchanged, and
// ReportUnchangedQueue has named the failed command.
int ReRegisterQueue(const std::string& ppd_path, const IdRenames& renamed = {});

// Writes "cvpapertoolcups: queue <queue> not changed: <reason>" on standard
// error, whatever show_output says.
void ReportUnchangedQueue(const std::string& reason);

// Writes "cvpapertoolcups: queue <queue>: cannot read its PPD <path>:
// <errno's text>" on standard error, whatever show_output says; errno stays.
void ReportUnreadablePpd(const std::string& ppd_path);
