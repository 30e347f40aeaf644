// Fuzzes the reading of the device URI from lpoptions' first output line.
#include <cstdlib>
#include <string_view>

#include "cups_tool.h"
#include "reregister_queue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view line(reinterpret_cast<const char*>(data), size);
  std::string uri;
  if (!FindDeviceUri(line, &uri)) return 0;
  if (uri.find(' ') != std::string::npos) std::abort();
  // The value comes from a word that begins with "device-uri=".
  const std::string word = "device-uri=" + uri;
  for (size_t at = line.find(word); at != std::string_view::npos; at = line.find(word, at + 1)) {
    if (at == 0 || line[at - 1] == ' ') return 0;
  }
  std::abort();
}
