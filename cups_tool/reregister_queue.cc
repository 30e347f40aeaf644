// Re-registering a CUPS queue so that the scheduler takes up an edited PPD.
#include <unistd.h>

#include <cstdlib>
#include <initializer_list>

#include "cups_tool.h"
#include "edited_copy.h"
#include "fixed_paths.h"
#include "scratch_file.h"
#include "shell_quote.h"
#include "stdio_file.h"

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
int RunCommand(const std::string& command) { return std::system(command.c_str()) == 0 ? 0 : -2; }

// Reads the first line of `path` without its line feed.  Returns false with
// errno set when the file cannot be opened.
bool ReadFirstLine(const std::string& path, std::string* line) {
  StdioFile in(std::fopen(path.c_str(), "rb"));
  if (!in) return false;
  LineBuffer buffer;
  int64_t count = fread_line_string(buffer, in.get());
  std::string_view text(buffer.data, static_cast<size_t>(count));
  if (text.ends_with('\n')) text.remove_suffix(1);
  *line = std::string(text);
  return true;
}

// A queue created afresh takes the scheduler's default sharing; one that
// was not shared stays so.
constexpr std::string_view kNotShared = "printer-is-shared=false";

// What the queue is created again with.
struct QueueSetup {
  std::string uri;
  bool not_shared = false;
};

// Creates the queue printer_name as `setup` says, with the PPD at `ppd_path`.
int CreateQueue(const QueueSetup& setup, const std::string& ppd_path) {
  std::string command =
      JoinWords({"lpadmin", "-p", printer_name, "-E", "-v", setup.uri, "-P", ppd_path});
  if (setup.not_shared) command += " " + JoinWords({"-o", kNotShared});
  return RunCommand(command);
}

// Deletes the queue and creates it again with `ppd_path`; when the creation
// fails, creates it with `previous_ppd` instead and still gives -2.
int ReplaceQueue(const QueueSetup& setup, const std::string& ppd_path,
                 const std::string& previous_ppd) {
  if (RunCommand(JoinWords({"lpadmin", "-x", printer_name})) != 0) return -2;
  if (CreateQueue(setup, ppd_path) == 0) return 0;
  CreateQueue(setup, previous_ppd);
  return -2;
}

// Asks lpoptions for the queue's options through the scratch URI file and
// takes from them what the queue is created again with.  Returns 0, -1 (errno
// set) when the scratch URI file cannot be created or read, or -2 when
// lpoptions fails or names no device URI.
int ReadQueueSetup(QueueSetup* setup) {
  const std::string uri_path = FixedPath(kScratchUriPath);
  // Created afresh so that the shell's redirection fills our own file rather
  // than whatever someone planted at the name.
  std::FILE* uri_file = CreateFreshFile(uri_path, 0644);
  if (uri_file == nullptr || CloseChecked(uri_file, false) != 0) return -1;
  // "-p" only reads the options; "-d" would also make the queue the default.
  if (RunCommand(JoinWords({"lpoptions", "-p", printer_name}) + " > " + ShellQuote(uri_path)) !=
      0) {
    return -2;
  }
  std::string options;
  if (!ReadFirstLine(uri_path, &options)) return -1;
  if (!FindDeviceUri(options, &setup->uri)) return -2;
  setup->not_shared = HasOptionWord(options, kNotShared);
  return 0;
}

}  // namespace

int ReRegisterQueue(const std::string& ppd_path) {
  // The queue's present PPD, kept until the queue exists again.  It is made
  // before any command runs, so that failing to keep it leaves CUPS unasked.
  const std::string previous_ppd = FixedPath(kScratchPpdPath) + ".saved";
  if (WriteEditedCopy(FixedPath(kPpdDir) + printer_name + ".ppd", previous_ppd, 0644, false,
                      kNoMarkers, CopyLine, AddNothing) != 0) {
    return -1;
  }
  QueueSetup setup;
  int result = ReadQueueSetup(&setup);
  if (result == 0) result = ReplaceQueue(setup, ppd_path, previous_ppd);
  unlink(previous_ppd.c_str());
  return result;
}
