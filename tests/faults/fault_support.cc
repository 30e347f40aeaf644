// Shared vocabulary of the write-fault tests.
#include "fault_support.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "paper_size_tool.h"
#include "text_format.h"

namespace faults {

namespace fs = std::filesystem;

namespace {

const char* const kInfoFiles[] = {"cvkm3030func", "paperinfkm3030pt1", "cvkm3030rc", "ImagingArea",
                                  "PaperDimension"};

double Points(double mm) { return mm / 25.4 * 72; }

// Generated label format i: its name, size and identifier.
struct Format {
  std::string name;
  int width = 0;
  int length = 0;
  std::string id;
};

Format Generated(int i) {
  Format format;
  format.width = 20 + i % 36;  // narrow enough for the print head
  format.length = 20 + i % 200;
  format.name = "Label " + std::to_string(format.width) + " x " + std::to_string(format.length) +
                " mm no " + std::to_string(i);
  format.id = FormatLabelId(format.name.size(), static_cast<uint32_t>(format.width), format.length,
                            i % 16, i * 37 % 65536);
  return format;
}

// Inserts `text` before the first line of `ppd` that starts with `keyword`.
void InsertBefore(std::string& ppd, const std::string& keyword, const std::string& text) {
  size_t at = ppd.rfind('\n', ppd.find("\n" + keyword)) + 1;
  ppd.insert(at, text);
}

// The PPD lines of one format, as the CUPS tool writes them (3 mm margins).
void AddPpdFormat(std::string& ppd, const Format& format) {
  const std::string option = format.id + "/" + format.name;
  InsertBefore(ppd, "*CloseUI: *PageSize", "*PageSize " + option + ":\t\t\"          \"\n");
  InsertBefore(ppd, "*CloseUI: *PageRegion", "*PageRegion " + option + ":\t\t\"          \"\n");
  InsertBefore(
      ppd, "*ImageableArea",
      FormatText("*ImageableArea %s:\t\"%.2f %.2f %.2f %.2f\"\n", option.c_str(), Points(3),
                 Points(3), Points(format.width - 3), Points(format.length - 3)));
  InsertBefore(ppd, "*PaperDimension",
               FormatText("*PaperDimension %s:\t\"%.2f %.2f\"\n", option.c_str(),
                          Points(format.width), Points(format.length)));
  for (int margin = std::max(3, (format.length + 1) / 2); margin <= 30; ++margin) {
    ppd +=
        "*UIConstraints:\t*CvMargin " + std::to_string(margin) + "\t*PageSize " + format.id + "\n";
  }
}

// The information-file lines of one format, as the LPRng tool writes them
// (3 mm top and bottom, 1.5 mm side margins).
void AddInfoFormat(std::map<std::string, std::string>& files, const Format& format) {
  std::string& tape_list = files["cvkm3030func"];
  tape_list.insert(tape_list.find("[CustomTape]\n") + 13, format.id + "/" + format.name + "\n");
  auto dots = [](double mm) { return static_cast<long long>(mm / 25.4 * 203); };
  files["paperinfkm3030pt1"] +=
      FormatText("%s/%s:\t%lld\t%lld\n", format.id.c_str(), format.name.c_str(),
                 dots(format.width - 3), dots(format.length - 6));
  files["ImagingArea"] +=
      FormatText("%s\t:\t%.2f\t%.2f\t%.2f\t%.2f\n", format.id.c_str(), Points(1.5), Points(3),
                 Points(format.width - 1.5), Points(format.length - 3));
  files["PaperDimension"] += FormatText("%s\t:\t%.2f\t%.2f\n", format.id.c_str(),
                                        Points(format.width), Points(format.length));
}

std::string Sample(const std::string& relative) {
  return ts::ReadFile(ts::SampleDataDir() + "/" + relative);
}

}  // namespace

int RealisticFormats(Tool tool) { return tool == Tool::kCups ? 100 : 300; }

std::string GeneratedName(int i) { return Generated(i).name; }

std::string PpdWithFormats(int formats, bool with_label, const std::string& label_id) {
  std::string ppd = Sample("ppd/label-printer.ppd");
  for (int i = 1; i <= formats; ++i) AddPpdFormat(ppd, Generated(i));
  if (with_label) AddPpdFormat(ppd, {kLabel, 41, 29, label_id});
  return ppd;
}

std::string InstallDriverTree(const ts::TestRoot& root, int formats, bool with_label,
                              const std::string& cups_tool) {
  const std::string bin = root.Path(std::string("/opt/corvane/") + kModel + "/bin");
  std::map<std::string, std::string> files;
  for (const char* name : kInfoFiles)
    files[name] = Sample(std::string("driver/km3030/bin/inf/") + name);
  for (int i = 1; i <= formats; ++i) AddInfoFormat(files, Generated(i));
  if (with_label) {
    const Format label{kLabel, 40, 133, FormatLabelId(11, 40, 133, 1, 4660)};
    AddInfoFormat(files, label);
    // The settings name the label as the one in use, so a removal resets them.
    std::string& settings = files["cvkm3030rc"];
    settings.replace(settings.find("MediaSize=50x30"), 15, "MediaSize=" + label.id);
    ts::WriteFile(bin + "/inf/customtape/" + kLabel + ".bin", std::string(132, 'o'), 0644);
  }
  for (const auto& [name, text] : files) ts::WriteFile(bin + "/inf/" + name, text, 0666);
  fs::create_directories(bin + "/inf/customtape");
  ts::WriteFile(bin + "/lpd/cvpapertoolcups", cups_tool, 0755);
  return bin + "/inf";
}

std::string NormalizeIds(std::string text) {
  // The LPRng tool's identifier of kLabel: name length 11, 41 x 133 mm.
  const std::string start = "CvL0B29085";
  for (size_t at = text.find(start); at != std::string::npos; at = text.find(start, at + 1)) {
    text.replace(at + start.size(), std::min<size_t>(5, text.size() - at - start.size()), "#####");
  }
  return text;
}

Tree ReadTree(const std::string& dir) {
  Tree tree;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    const std::string name = fs::relative(entry.path(), dir).string();
    if (entry.is_directory()) {
      tree[name + "/"] = "directory";
    } else if (entry.is_regular_file()) {
      const std::string path = entry.path().string();
      tree[name] =
          FormatText("%04o\n", static_cast<unsigned>(ts::ModeOf(path))) + ts::ReadFile(path);
    }
  }
  return tree;
}

void RestoreTree(const std::string& dir, const Tree& tree) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    if (!entry.is_directory()) files.push_back(entry.path());
  }
  for (const auto& path : files) fs::remove(path);
  for (const auto& [name, stored] : tree) {
    if (name.ends_with("/")) {
      fs::create_directories(dir + "/" + name);
      continue;
    }
    const size_t end = stored.find('\n');
    const mode_t mode = static_cast<mode_t>(std::stoul(stored.substr(0, end), nullptr, 8));
    ts::WriteFile(dir + "/" + name, stored.substr(end + 1), mode);
  }
}

std::string Differences(const Tree& got, const Tree& want) {
  std::string names;
  for (const auto& [name, stored] : got) {
    if (!want.contains(name))
      names += name + " (added) ";
    else if (want.at(name) != stored)
      names += name + " (changed) ";
  }
  for (const auto& [name, stored] : want) {
    if (!got.contains(name)) names += name + " (missing) ";
  }
  return names;
}

std::vector<std::string> NamesEndingWith(const Tree& tree, const std::string& suffix) {
  std::vector<std::string> names;
  for (const auto& [name, stored] : tree) {
    if (name.ends_with(suffix)) names.push_back(name);
  }
  return names;
}

// ---- Out of space ----------------------------------------------------------

std::string EnterPrivateMountNamespace() {
  if (unshare(CLONE_NEWNS) != 0) return std::string("unshare: ") + std::strerror(errno);
  if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
    return std::string("private mounts: ") + std::strerror(errno);
  }
  return "";
}

Tmpfs::Tmpfs(const std::string& dir) : dir_(dir) {
  if (mount("corvane-faults", dir.c_str(), "tmpfs", 0, "size=64m,mode=0755") != 0) {
    error_ = std::string("mount: ") + std::strerror(errno);
    dir_.clear();
  }
}

Tmpfs::~Tmpfs() {
  if (!dir_.empty()) umount2(dir_.c_str(), MNT_DETACH);
}

void Tmpfs::Unlimit() {
  ASSERT_EQ(mount(nullptr, dir_.c_str(), nullptr, MS_REMOUNT, "size=64m"), 0)
      << std::strerror(errno);
}

uint64_t Tmpfs::LeaveFreePages(uint64_t pages) {
  struct statvfs info;
  if (statvfs(dir_.c_str(), &info) != 0 || info.f_frsize != 4096) return ~uint64_t{0};
  uint64_t used = info.f_blocks - info.f_bfree;
  if (used == 0 && pages == 0) {
    // A size of 0 would mean no limit at all; one full page stands in.
    ts::WriteFile(dir_ + "/.filler", std::string(4096, 'f'));
    used = 1;
  }
  const std::string size = "size=" + std::to_string((used + pages) * 4096);
  if (mount(nullptr, dir_.c_str(), nullptr, MS_REMOUNT, size.c_str()) != 0) {
    return ~uint64_t{0};
  }
  if (statvfs(dir_.c_str(), &info) != 0) return ~uint64_t{0};
  return info.f_bfree;
}

// ---- Injected failures -----------------------------------------------------

std::string ShimPath() { return CORVANE_FAULT_SHIM; }

ts::Env InjectionEnv(const std::string& root, const std::string& kind, long at, int error,
                     const std::string& report) {
  // A sanitized tool would refuse a library loaded ahead of its runtime.
  const char* asan = std::getenv("ASAN_OPTIONS");
  return {{"LD_PRELOAD", ShimPath()},
          {"ASAN_OPTIONS", std::string(asan != nullptr ? asan : "") + ":verify_asan_link_order=0"},
          {"CORVANE_FAULT_ROOT", root},
          {"CORVANE_FAULT_KIND", kind},
          {"CORVANE_FAULT_AT", std::to_string(at)},
          {"CORVANE_FAULT_ERRNO", std::to_string(error)},
          {"CORVANE_FAULT_REPORT", report}};
}

// ---- Runs and their outcomes -----------------------------------------------

namespace {

constexpr char kCupsLabelId[] = "CvL0B2901D00042";

}  // namespace

void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }

const std::vector<Scenario>& CupsScenarios() {
  static const std::vector<Scenario> scenarios = {
      {"Addition",
       Tool::kCups,
       {"-P", kQueue, "-n", kLabel, "-w", "41", "-h", "29", "-l", "1.5", "-t", "3", "-r", "1.5",
        "-b", "3", "-specid", kCupsLabelId},
       false},
      {"Removal", Tool::kCups, {"-P", kQueue, "-d", kLabel}, true},
  };
  return scenarios;
}

const std::vector<Scenario>& LprScenarios() {
  static const std::vector<Scenario> scenarios = {
      {"Addition",
       Tool::kLpr,
       {"-P", kQueue, "-n", kLabel, "-w", "41",  "-h", "133", "-g", "3",
        "-b", "3",    "-t", "3",    "-r", "1.5", "-l", "1.5", "-S", "1"},
       false},
      {"Replacement",
       Tool::kLpr,
       {"-P", kQueue, "-n", kLabel, "-w", "41",  "-h", "133", "-g", "3",
        "-b", "3",    "-t", "3",    "-r", "1.5", "-l", "1.5", "-S", "1"},
       true},
      {"Removal", Tool::kLpr, {"-P", kQueue, "-d", kLabel}, true},
  };
  return scenarios;
}

ScenarioRoot::ScenarioRoot(const Scenario& scenario, int formats) : scenario(scenario) {
  if (scenario.tool == Tool::kCups) {
    watched = root.Path("/etc/cups/ppd");
    ts::WriteFile(watched + "/" + kQueue + ".ppd",
                  PpdWithFormats(formats, scenario.label_present, kCupsLabelId));
  } else {
    watched = InstallDriverTree(root, formats, scenario.label_present, kQuietCupsTool);
  }
  before = ReadTree(watched);
  // The versions a clean run leaves: after a replacement's removal, and at the end.
  versions.push_back(before);
  if (scenario.name == std::string("Replacement")) {
    EXPECT_EQ(ts::Run(ts::LprToolPath(), {"-P", kQueue, "-d", kLabel}, root.ToolEnv(),
                      "cvpapertoollpr_km3030")
                  .status,
              0);
    versions.push_back(ReadTree(watched));
    Reset();
  }
  const ts::RunResult clean = Run();
  EXPECT_EQ(clean.status, 0) << clean.out;
  versions.push_back(ReadTree(watched));
  for (Tree& version : versions) {
    for (auto& [name, stored] : version) stored = NormalizeIds(stored);
  }
  EXPECT_NE(Differences(versions.back(), versions.front()), "") << "a clean run changes the files";
  Reset();
}

void ScenarioRoot::Reset() {
  RestoreTree(watched, before);
  std::error_code ignored;
  fs::remove(root.Path("/tmp/pTmpPPD"), ignored);
  fs::remove(root.Path("/tmp/uri"), ignored);
  root.ClearCalls();
}

ts::RunResult ScenarioRoot::Run(const ts::Env& extra) {
  ts::Env env = root.ToolEnv();
  env.insert(env.end(), extra.begin(), extra.end());
  if (scenario.tool == Tool::kCups) return ts::Run(ts::CupsToolPath(), scenario.args, env);
  return ts::Run(ts::LprToolPath(), scenario.args, env, "cvpapertoollpr_km3030");
}

Outcome ScenarioRoot::Check(const ts::RunResult& result, const std::string& context) {
  SCOPED_TRACE(context);
  Tree after = ReadTree(watched);
  for (auto& [name, stored] : after) stored = NormalizeIds(stored);
  const auto calls = root.Calls();

  if (scenario.tool == Tool::kCups) {
    EXPECT_FALSE(ts::Exists(root.Path("/tmp/pTmpPPD.saved"))) << "kept PPD left behind";
    if (result.status == 0 && after == versions.back()) return Outcome::kDone;
    EXPECT_EQ(Differences(after, before), "") << "status " << result.status;
    if (result.status == 1) {
      EXPECT_TRUE(calls.empty()) << "a CUPS command ran before the failure";
      return Outcome::kFailed;
    }
    // lpoptions could not hand over the device URI: a failed CUPS command,
    // which the tool reports with status 0 as it always has.
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(calls, (std::vector<Args>{{"lpoptions", "-p", kQueue}}));
    return Outcome::kQueueUntouched;
  }

  EXPECT_TRUE(NamesEndingWith(after, ".$$$").empty()) << "temporary file left behind";
  if (result.status == 0) {
    EXPECT_EQ(Differences(after, versions.back()), "") << "a successful run left other files";
    return Outcome::kDone;
  }
  EXPECT_EQ(result.status, 255) << result.out;
  for (const auto& [name, stored] : after) {
    bool known = false;
    for (const Tree& version : versions) {
      known = known || (version.contains(name) && version.at(name) == stored);
    }
    EXPECT_TRUE(known) << name << " is neither its old nor its new version";
  }
  for (const auto& [name, stored] : before)
    EXPECT_TRUE(after.contains(name)) << name << " was lost";
  return Outcome::kFailed;
}

}  // namespace faults
