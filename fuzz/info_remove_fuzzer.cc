// Fuzzes the LPRng tool's removal over fuzzed information files.  The input
// holds the label name and the five files, separated by zero bytes.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "args_split.h"
#include "fuzz_support.h"
#include "driver_tree.h"
#include "lpr_tool.h"

namespace {

// The driver tree of model km3030 under the fuzz root, with a CUPS tool that
// always succeeds.
void MakeDriverTree(const std::string& root) {
  for (const char* sub : {"/opt/corvane/km3030", "/opt/corvane/km3030/bin",
                          "/opt/corvane/km3030/bin/inf", "/opt/corvane/km3030/bin/lpd"}) {
    mkdir((root + sub).c_str(), 0755);
  }
  symlink("/bin/true", (root + "/opt/corvane/km3030/bin/lpd/cvpapertoolcups").c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = (MakeDriverTree(FuzzRoot()), true);
  (void)ready;
  std::vector<std::string> parts = SplitArguments(data, size);
  parts.resize(6);
  LprRequest request;
  request.model = "km3030";
  request.printer = "KM-3030";
  request.label_name = parts[0];
  const std::string paths[5] = {TapeListPath("km3030"), PrintAreaPath("km3030"),
                                SettingsPath("km3030"), ImagingAreaPath("km3030"),
                                PaperDimensionPath("km3030")};
  for (int i = 0; i < 5; ++i) WriteWholeFile(paths[i], parts[i + 1]);
  int result = RemoveLabel(request, LabelGeometry{});
  if (result != kDone && result != kNotPresent) std::abort();
  // A removal only ever drops or shortens lines; no file grows except the
  // settings file, whose matching lines become the reset line.
  for (int i = 0; i < 5; ++i) {
    if (i != 2 && ReadWholeFile(paths[i]).size() > parts[i + 1].size()) std::abort();
    if (access((paths[i] + ".$$$").c_str(), F_OK) == 0) std::abort();
  }
  return 0;
}
