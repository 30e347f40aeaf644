// Fuzzes the CUPS tool's PPD insertion then removal: the removal gives back a
// PPD that held no label format of its own (its last line ended by a line
// feed when it has the CvMargin option).  Input: a name, a zero byte, a PPD.
#include "cups_tool.h"
#include "fuzz_support.h"
#include "reregister_queue.h"

int ReRegisterQueue(const std::string& ppd_path) {  // stands in for the CUPS commands
  return ppd_path == FixedPath(kScratchPpdPath) ? 0 : (std::abort(), 1);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string ppd_path = FixedPath(kPpdDir) + "fuzz.ppd";
  const auto [name, ppd] = Prepare(data, size, ppd_path);
  CommandLine line = ParseCommandLine({"-P", "fuzz", "-n", std::string(name), "-w", "29", "-h",
                                       "29", "-t", "3", "-b", "3", "-l", "1.5", "-r", "1.5"});
  if (line.kind != RunKind::kAdd) line.request.label_name = "Fuzz Label";
  line.request.ppd_path = ppd_path;
  if (AddLabel(line.request, line.geometry) != 0) std::abort();
  std::filesystem::copy_file(FixedPath(kScratchPpdPath), ppd_path,
                             std::filesystem::copy_options::overwrite_existing);
  const int removed = RemoveLabel(line.request);
  const std::string lines = '\n' + std::string(ppd);
  if (ppd.find("CvL") != ppd.npos) return 0;
  if (removed != (lines.find("\n*CloseUI: *PageSize") != lines.npos ? 0 : 1)) std::abort();
  const bool feed = lines.find("\n*OpenUI *CvMargin") != lines.npos && !lines.ends_with('\n');
  std::ostringstream copy;
  copy << std::ifstream(FixedPath(kScratchPpdPath)).rdbuf();
  if (removed == 0 && copy.str() != lines.substr(1) + (feed ? "\n" : "")) std::abort();
  return 0;
}
