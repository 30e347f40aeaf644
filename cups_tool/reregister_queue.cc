// Re-registering a CUPS queue so that the scheduler takes up an edited PPD.
#include "reregister_queue.h"

#include <unistd.h>

#include <algorithm>
#include <map>
#include <vector>

#include "cups_tool.h"
#include "file_rewrite.h"
#include "fixed_paths.h"
#include "shell_command.h"

namespace {

constexpr std::string_view kDeviceUriKey = "device-uri=";

// The words of an lpoptions line (without its line feed), which a zero byte
// ends.  Words are separated by blanks.  lpoptions puts a value that holds
// blanks or quotes between single quotes without escaping anything inside, so
// a value that opens with a quote right after its "=" runs to the next such
// quote that is followed by a blank or the end of the line:
// "printer-info='Bob's printer'" is one word.
std::vector<std::string_view> Words(std::string_view line) {
  line = line.substr(0, line.find('\0'));
  std::vector<std::string_view> words;
  for (size_t i = 0; i < line.size();) {
    if (line[i] == ' ') {
      ++i;
      continue;
    }
    size_t end = std::min(line.find(' ', i), line.size());
    const size_t equals = line.find('=', i);
    if (equals < end && equals + 1 < line.size() &&
        (line[equals + 1] == '\'' || line[equals + 1] == '"')) {
      const char quote = line[equals + 1];
      size_t close = equals + 1;
      do {
        close = line.find(quote, close + 1);
      } while (close != std::string_view::npos && close + 1 < line.size() &&
               line[close + 1] != ' ');
      end = close == std::string_view::npos ? line.size() : close + 1;
    }
    words.push_back(line.substr(i, end - i));
    i = end;
  }
  return words;
}

// Reads the first line of `path` without its line feed.  Returns false with
// errno set when the file cannot be opened or read.
bool ReadFirstLine(const std::string& path, std::string* line) {
  line->clear();
  return ForEachLine(path, [line](std::string_view text) {
    *line = text.substr(0, text.size() - (text.ends_with('\n') ? 1 : 0));
    return false;
  });
}

// Whether the first line that lpoptions printed names a device URI.
bool NamesDeviceUri(std::string_view line) {
  return std::ranges::any_of(Words(line),
                             [](std::string_view word) { return word.starts_with(kDeviceUriKey); });
}

// The options of an lpoptions line whose value is an identifier of
// `renamed`: option name, identifier.
std::map<std::string, std::string> OptionsNaming(std::string_view line, const IdRenames& renamed) {
  std::map<std::string, std::string> named;
  for (std::string_view word : Words(line)) {
    const size_t equals = word.find('=');
    if (equals != std::string_view::npos && renamed.contains(word.substr(equals + 1)))
      named.emplace(word.substr(0, equals), word.substr(equals + 1));
  }
  return named;
}

// "lpoptions -p <queue>", which shows the queue's options; "-d" would also
// make the queue the default.
std::string OptionsQuery() { return JoinWords({"lpoptions", "-p", printer_name}); }

// The options that `lpoptions -p <queue>`, run with `environment` in front,
// shows naming an identifier of `renamed`; none when it fails.
std::map<std::string, std::string> ListedOptionsNaming(const std::string& environment,
                                                       const IdRenames& renamed) {
  std::string line;
  if (RunCommandForOutput(environment + OptionsQuery(), &line) != 0) return {};
  return OptionsNaming(line.substr(0, line.find('\n')), renamed);
}

// The two words "<flag> <key><suffix><value>", shell-quoted.
std::string FollowingOption(std::string_view flag, std::string_view key, std::string_view suffix,
                            std::string_view value) {
  std::string option(key);
  option.append(suffix).append(value);
  return JoinWords({flag, option});
}

// Has the calling user's own options that still name a renamed identifier
// follow it; a note for each command that fails.
void FollowUserOptions(const IdRenames& renamed, std::vector<std::string>* notes) {
  for (const auto& [key, old_id] : ListedOptionsNaming("", renamed)) {
    const std::string& new_id = renamed.find(old_id)->second;
    const std::string set = OptionsQuery() + " " +
                            (new_id.empty() ? FollowingOption("-r", key, "", "")
                                            : FollowingOption("-o", key, "=", new_id));
    if (RunCommand(set + " >/dev/null") != 0) notes->push_back(set + " failed");
  }
}

// The queue left unchanged because `command` failed.
Outcome CommandFailed(const std::string& command, const char* problem = "failed") {
  return Failure({}, kCommandError, command + " " + problem);
}

}  // namespace

Outcome ReRegisterQueue(const std::string& ppd_path, const IdRenames& renamed) {
  const std::string uri_path = FixedPath(kScratchUriPath);
  // Created afresh so that the shell's redirection fills our own file rather
  // than whatever someone planted at the name.
  const int uri_fd = CreateFreshFd(uri_path, 0644);
  if (uri_fd < 0 || close(uri_fd) != 0) return FileFailure(uri_path);
  const std::string query = OptionsQuery();
  if (RunCommand(query + " > " + ShellQuote(uri_path)) != 0) return CommandFailed(query);
  std::string options;
  if (!ReadFirstLine(uri_path, &options)) return FileFailure(uri_path);
  if (!NamesDeviceUri(options)) return CommandFailed(query, "named no device URI");
  // lpadmin -p on the existing queue swaps its PPD and keeps everything else:
  // jobs, description, location, classes, sharing and a paused state.  The
  // queue's own defaults that name a replaced format follow it in the same call.
  const bool named = !OptionsNaming(options, renamed).empty();
  std::string install = JoinWords({"lpadmin", "-p", printer_name, "-P", ppd_path});
  // The queue's own options: lpoptions with no home to read the user's from.
  const std::map<std::string, std::string> queue_named =
      named ? ListedOptionsNaming("HOME=/nonexistent ", renamed)
            : std::map<std::string, std::string>{};
  for (const auto& [key, old_id] : queue_named) {
    const std::string& new_id = renamed.find(old_id)->second;
    install += " ";
    install += new_id.empty() ? FollowingOption("-R", key, "-default", "")
                              : FollowingOption("-o", key, "-default=", new_id);
  }
  if (RunCommand(install) != 0) return CommandFailed(install);
  Outcome done;
  if (named) FollowUserOptions(renamed, &done.notes);
  return done;
}
