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

// Takes the lines that hold one of `old_ids` out of the information files of
// `model` and, when `added` is given, puts its entries in; the settings file,
// opened only when `old_ids` is not empty and passed over when it does not
// exist, turns each line naming an old identifier into one naming added->id,
// or into "MediaSize=50x30" without `added`.  The files are rewritten one by
// one in the order print area, settings, imaging area, paper dimension, tape
// list: a new identifier reaches a file that names it first and an old one
// leaves such a file last, so that an identifier in any file is always named
// by the print-area or tape list file and a run cut short leaves nothing a
// later removal cannot find.  Fails with kFileError naming the file that could
// not be read or rewritten; the files before it stay rewritten, it and those
// after it are unchanged.
Outcome ChangeInfoFiles(const std::string& model, const std::vector<std::string>& old_ids,
                        const InfoEntries* added);

// Takes out of the information files of `model` the lines of every
// identifier that neither the tape list nor the print-area file names (left
// by hand, or by runs cut short before the name files were written first),
// with a note for each.  Fails as ChangeInfoFiles does.
Outcome RemoveUnnamedIds(const std::string& model);
