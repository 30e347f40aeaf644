// Fuzzes the reading of the device URI from lpoptions' first output line.
#include <cstdlib>
#include <string_view>

#include "cups_tool.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view line(reinterpret_cast<const char*>(data), size);
  std::string uri;
  if (!FindDeviceUri(line, &uri)) return 0;
  if (uri.find(' ') != std::string::npos) std::abort();
  size_t at = line.find("device-uri=" + uri);
  if (at == std::string_view::npos || (at != 0 && line[at - 1] != ' ')) std::abort();
  return 0;
}
