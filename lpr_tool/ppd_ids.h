// Which label formats a queue's PPD holds, as the CUPS tool lists them.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "lpr_tool.h"

// Runs the CUPS tool's listing for `request.printer`; puts the listed identifiers
// into `ids` and, when given, the lines without line feeds into `lines`, in PPD
// order.  Returns false, with `why` set, when the tool fails or prints anything
// but listing lines.
bool ListPpdIds(const LprRequest& request, std::set<std::string, std::less<>>* ids,
                std::string* why, std::vector<std::string>* lines = nullptr);
