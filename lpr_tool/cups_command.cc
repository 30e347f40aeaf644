// The shell commands that have the CUPS paper-size tool add or remove a label format.
#include <cstdio>
#include <cstdlib>

#include "fixed_paths.h"
#include "lpr_tool.h"
#include "shell_quote.h"

std::string CupsToolProgram(const std::string& model) {
  return FixedPath(kDriverRoot) + model + "/bin/lpd/cvpapertoolcups";
}

std::string RemovalCommand(const LprRequest& request) {
  return ShellQuote(CupsToolProgram(request.model)) + "   -P " + ShellQuote(request.printer) +
         " -d " + DoubleQuote(request.label_name) + " -show 1";
}

std::string AdditionCommand(const LprRequest& request, const LabelGeometry& geometry,
                            const std::string& label_id) {
  return ShellQuote(CupsToolProgram(request.model)) + " -P " + ShellQuote(request.printer) +
         " -n " + DoubleQuote(request.label_name) +
         FormatText(
             " -w %lld -h %lld -l %.2f -t %.2f -r %.2f -b %.2f -g %.2f -S %d -m %.2f -o %.2f",
             static_cast<long long>(request.width_mm), static_cast<long long>(request.length_mm),
             geometry.left, geometry.top, geometry.right, geometry.bottom, geometry.gap,
             request.media_kind, geometry.mark, geometry.mark_offset) +
         " -specid " + ShellQuote(label_id) + " -show 1";
}

int RunCupsTool(const std::string& command) {
  std::fflush(nullptr);
  return std::system(command.c_str()) == 0 ? kDone : kCommandError;
}

std::string ListingCommand(const LprRequest& request) {
  return ShellQuote(CupsToolProgram(request.model)) + " -list " + ShellQuote(request.printer);
}

int RunCupsToolForOutput(const std::string& command, std::string* output) {
  std::fflush(nullptr);
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return kCommandError;
  char block[4096];
  size_t got;
  while ((got = std::fread(block, 1, sizeof block, pipe)) > 0) output->append(block, got);
  return pclose(pipe) == 0 ? kDone : kCommandError;
}
