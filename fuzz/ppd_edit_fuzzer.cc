// Fuzzes the CUPS tool's PPD insertion then removal.  The input holds a label
// name, a zero byte and the PPD; a stand-in re-registers the queue.
#include "cups_tool.h"
#include "fuzz_support.h"
#include "reregister_queue.h"

static int registrations = 0;

int ReRegisterQueue(const std::string& ppd_path) {
  if (ppd_path != FixedPath(kScratchPpdPath)) std::abort();
  ++registrations;
  return 0;
}

static std::string ScratchPpd() {
  return (std::ostringstream() << std::ifstream(FixedPath(kScratchPpdPath)).rdbuf()).str();
}

// A label request of the command line for `name`, or for a plain name when it refuses that one.
static CommandLine AddRequest(std::string_view name) {
  const CommandLine line =
      ParseCommandLine({"-P", "fuzz", "-n", std::string(name), "-w", "29", "-h", "29", "-t", "3",
                        "-b", "3", "-l", "1.5", "-r", "1.5"});
  return line.kind == RunKind::kAdd ? line : AddRequest("Fuzz Label");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto [name, ppd] = SplitAtZero(data, size);
  const CommandLine line = AddRequest(name);
  WriteWholeFile(line.request.ppd_path, ppd);
  registrations = 0;
  if (AddLabel(line.request, line.geometry) != 0 || registrations != 1) std::abort();
  const std::string added = ScratchPpd();
  if (added.size() < ppd.size()) std::abort();
  // Removing the format gives back a PPD that held no label format of its own
  // (line feed ended when it has the CvMargin option).
  WriteWholeFile(line.request.ppd_path, added);
  const int removed = RemoveLabel(line.request);
  const std::string lines = '\n' + std::string(ppd);
  if (ppd.find("CvL") != ppd.npos) return 0;
  if (removed != (lines.find("\n*CloseUI: *PageSize") != lines.npos ? 0 : 1)) std::abort();
  const bool feed = lines.find("\n*OpenUI *CvMargin") != lines.npos && !lines.ends_with('\n');
  if (removed == 0 && (registrations != 2 || ScratchPpd() != lines.substr(1) + (feed ? "\n" : "")))
    std::abort();
  return 0;
}
