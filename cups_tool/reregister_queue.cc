// Re-registering a CUPS queue so that the scheduler takes up an edited PPD.
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "cups_tool.h"
#include "file_rewrite.h"
#include "fixed_paths.h"
#include "shell_quote.h"

namespace {

// One command line for the shell: each word quoted so that it arrives whole.
std::string JoinWords(std::initializer_list<std::string_view> words) {
  std::string command;
  for (std::string_view word : words) {
    if (!command.empty()) command += ' ';
    command += ShellQuote(word);
  }
  return command;
}

// Runs `command` through the shell: 0 for exit status 0, else -2.
int RunCommand(const std::string& command) {
  std::fflush(nullptr);
  return std::system(command.c_str()) == 0 ? 0 : -2;
}

// Tells the administrator, whatever "-show" says, that the queue was left as
// it was because `what` failed; the exit status stays 0.
int ReportUnchangedQueue(const std::string& what) {
  std::fprintf(stderr, "cvpapertoolcups: queue %s not changed: %s failed\n", printer_name.c_str(),
               what.c_str());
  return -2;
}

// Reads the first line of `path` without its line feed.  Returns false with
// errno set when the file cannot be opened.
bool ReadFirstLine(const std::string& path, std::string* line) {
  LineReader in;
  if (!OpenLineReader(path, &in)) return false;
  std::string_view text;
  fread_line_string(text, in);
  if (text.ends_with('\n')) text.remove_suffix(1);
  *line = std::string(text);
  return true;
}

}  // namespace

int ReRegisterQueue(const std::string& ppd_path) {
  const std::string uri_path = FixedPath(kScratchUriPath);
  // Created afresh so that the shell's redirection fills our own file rather
  // than whatever someone planted at the name.
  const int uri_fd = CreateFreshFd(uri_path, 0644);
  if (uri_fd < 0 || CloseFdChecked(uri_fd, false) != 0) return -1;
  // "-p" only reads the options; "-d" would also make the queue the default.
  const std::string query = JoinWords({"lpoptions", "-p", printer_name});
  if (RunCommand(query + " > " + ShellQuote(uri_path)) != 0) return ReportUnchangedQueue(query);
  std::string options;
  if (!ReadFirstLine(uri_path, &options)) return -1;
  std::string uri;
  if (!FindDeviceUri(options, &uri)) return ReportUnchangedQueue(query + " (no device-uri)");
  // lpadmin -p on the existing queue swaps its PPD and keeps everything else:
  // jobs, description, location, classes, sharing and a paused state.
  const std::string install = JoinWords({"lpadmin", "-p", printer_name, "-P", ppd_path});
  if (RunCommand(install) != 0) return ReportUnchangedQueue(install);
  return 0;
}
