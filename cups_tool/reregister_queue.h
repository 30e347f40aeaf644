// Making CUPS take up an edited PPD for a queue.
#pragma once

#include <map>
#include <string>

#include "paper_size_tool.h"

// Label identifiers that an edit of the PPD replaced, each with the one that
// took its place ("" when its format was removed).
using IdRenames = std::map<std::string, std::string, std::less<>>;

// Makes CUPS take up `ppd_path` for the queue printer_name in place: asks
// lpoptions for the queue's options into the scratch URI file (created
// afresh), checks that its first line names a device URI, then runs
// "lpadmin -p <queue> -P <ppd_path>", which keeps the queue's jobs and
// settings.  Defaults that name an identifier of `renamed` follow it: the
// queue's own ("-o KEY-default=NEW", or "-R KEY-default" for a removed format)
// in that same lpadmin call, then the calling user's lpoptions ("-o KEY=NEW"
// or "-r KEY"), whose failures are only notes.  Every value reaches the
// commands shell-quoted.  Fails with kFileError when the scratch URI file
// cannot be created or read, and with kCommandError, the queue unchanged, when
// a command fails or names no device URI.
Outcome ReRegisterQueue(const std::string& ppd_path, const IdRenames& renamed = {});
