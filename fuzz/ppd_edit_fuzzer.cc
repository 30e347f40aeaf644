// Fuzzes the CUPS tool's PPD insertion and removal over fuzzed PPD text.  The
// input holds the label name, a zero byte and the PPD.  The queue
// re-registration is replaced by a stand-in that only checks the copy, so no
// command runs.
#include <cstdlib>

#include "cups_tool.h"
#include "reregister_queue.h"
#include "fixed_paths.h"
#include "fuzz_support.h"

namespace {

int registrations = 0;

bool UsableName(std::string_view name) {
  if (name.empty() || name.size() > 32) return false;
  for (char c : name) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 32 || byte == 127 || c == ':' || c == '"') return false;
  }
  return true;
}

}  // namespace

// Stands in for the queue re-registration: the copy must exist and be readable.
int ReRegisterQueue(const std::string& ppd_path) {
  if (ppd_path != FixedPath(kScratchPpdPath)) std::abort();
  ++registrations;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto [fuzzed_name, ppd] = SplitAtZero(data, size);
  const std::string root = FuzzRoot();
  LabelRequest request;
  request.ppd_path = root + "/etc/cups/ppd/fuzz.ppd";
  request.label_name = UsableName(fuzzed_name) ? std::string(fuzzed_name) : "Fuzz Label";
  request.width_mm = 29;
  request.length_mm = 29;
  LabelGeometry geometry;
  geometry.width = 29;
  geometry.length = 29;
  geometry.left = geometry.right = 1.5;
  geometry.top = geometry.bottom = 3;
  WriteWholeFile(request.ppd_path, ppd);

  registrations = 0;
  if (AddLabel(request, geometry) != 0 || registrations != 1) std::abort();
  const std::string added = ReadWholeFile(FixedPath(kScratchPpdPath));
  if (added.size() < ppd.size()) std::abort();

  // Removing the format again gives back the original as long as it held
  // no label format of its own.
  WriteWholeFile(request.ppd_path, added);
  int removed = RemoveLabel(request);
  bool has_page_size_group = ppd.starts_with("*CloseUI: *PageSize") ||
                             ppd.find("\n*CloseUI: *PageSize") != std::string_view::npos;
  if (ppd.find("CvL") != std::string_view::npos) return 0;
  if (!has_page_size_group) {
    if (removed != 1) std::abort();
    return 0;
  }
  if (removed != 0 || registrations != 2) std::abort();
  // Margin constraints, and the line feed before them, only come with the
  // CvMargin option.
  std::string expected(ppd);
  const bool margin_option = ppd.starts_with("*OpenUI *CvMargin") ||
                             ppd.find("\n*OpenUI *CvMargin") != std::string_view::npos;
  if (margin_option && !expected.empty() && expected.back() != '\n') expected += '\n';
  if (ReadWholeFile(FixedPath(kScratchPpdPath)) != expected) std::abort();
  return 0;
}
