// The changes of the information files that additions and removals share.
#pragma once

#include <string>
#include <vector>

#include "lpr_tool.h"

// The identifiers that the tape list and print-area files give the label
// format `name`, once each, tape list first.  A file that cannot be read
// gives none.
std::vector<std::string> NamedLabelIds(const std::string& model, const std::string& name);

// The entry lines of one label format, each ended by a line feed.
struct InfoEntries {
  std::string id;
  std::string tape_list;   // put after every "[CustomTape]" line
  std::string print_area;  // the others are appended behind the last byte
  std::string imaging_area;
  std::string paper_dimension;
};

// Takes the lines of `old_ids` out of the model's information files and puts
// `added`'s entries in (when given).  Settings lines naming an old identifier
// name added->id, or become "MediaSize=50x30"; a missing settings file is
// passed over.  Files are rewritten one by one, a name file (print area) first
// and the name files last, so that a run cut short leaves every identifier
// named where a removal looks.  Fails with kFileError naming the file; those
// before it stay rewritten, the others unchanged.
Outcome ChangeInfoFiles(const std::string& model, const std::vector<std::string>& old_ids,
                        const InfoEntries* added);

// Takes out the lines of every identifier that no name file (tape list, print
// area) names, with a note for each.  Fails as ChangeInfoFiles does.
Outcome RemoveUnnamedIds(const std::string& model);
