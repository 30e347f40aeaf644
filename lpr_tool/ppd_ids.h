// Which label formats a queue's PPD holds, as the CUPS tool lists them.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "lpr_tool.h"

// Runs the CUPS tool's listing for `request.printer` and puts the identifiers
// it lists into `ids`, and, when `lines` is given, its lines (without their
// line feeds) into `lines`, in the PPD's order.  Returns false when the tool
// fails or says anything but listing lines (identifier, width, length, name,
// TAB-separated), with `why` telling which.
bool ListPpdIds(const LprRequest& request, std::set<std::string, std::less<>>* ids,
                std::string* why, std::vector<std::string>* lines = nullptr);
