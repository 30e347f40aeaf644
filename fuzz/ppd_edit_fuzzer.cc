// Fuzzes the CUPS tool's PPD insertion then removal: an addition to a PPD
// that holds no label format of its own either leaves nothing behind (no
// place for a line) or is taken out again by the removal, byte for byte.
// Input: a name, a zero byte, a PPD.
#include <unistd.h>

#include "cups_tool.h"
#include "fuzz_support.h"
#include "reregister_queue.h"

// Stands in for the CUPS commands.
Outcome ReRegisterQueue(const std::string& ppd_path, const IdRenames& /*renamed*/) {
  if (ppd_path != FixedPath(kScratchPpdPath)) std::abort();
  return {};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string ppd_path = FixedPath(kPpdDir) + "fuzz.ppd",
                    scratch = FixedPath(kScratchPpdPath);
  const auto [name, ppd] = Prepare(data, size, ppd_path);
  CommandLine line = ParseCommandLine({"-P", "fuzz", "-n", std::string(name), "-w", "29", "-h",
                                       "29", "-t", "3", "-b", "3", "-l", "1.5", "-r", "1.5"});
  if (line.kind != RunKind::kAdd) line.request.label_name = "Fuzz Label";
  line.request.ppd_path = ppd_path;
  unlink(scratch.c_str());
  const int added = AddLabel(line.request, line.geometry).code;
  if (added == kNoPlaceInPpd && access(scratch.c_str(), F_OK) == 0) std::abort();
  if (added != kDone || ppd.find("CvL") != ppd.npos) return 0;
  std::filesystem::copy_file(scratch, ppd_path, std::filesystem::copy_options::overwrite_existing);
  if (RemoveLabel(line.request).code != kDone) std::abort();
  std::ostringstream copy;
  copy << std::ifstream(scratch, std::ios::binary).rdbuf();
  if (copy.str() != ppd) std::abort();
  return 0;
}
