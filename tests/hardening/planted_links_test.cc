// Things planted at every fixed name the tools write: a symbolic link to a
// victim file, a dangling link, a hard link to the victim, a FIFO, a
// directory (empty or not) and a world-writable file of another user.  The
// victim never changes, nothing hangs, and each run either succeeds with a
// fresh file of its own or fails with its documented status before it
// changes anything.  The tools use no lock files (they flock directories), so
// there is no lock name to plant at.
//
// Everything is planted in the test root, a private directory that is not
// sticky, where the kernel's protections for links and FIFOs in sticky
// world-writable directories do not apply and so cannot hide a fault.
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "fixed_paths.h"
#include "hardening_support.h"
#include "lpr_tool.h"
#include "paper_size_tool.h"

namespace hardening {
namespace {

namespace fs = std::filesystem;

// Every run must end well within this; a FIFO opened without care would not.
constexpr int kBoundSeconds = 60;
const std::string kInf = "/opt/corvane/km3030/bin/inf";
// The label format the LPRng runs replace, present in every information file.
const std::string kOldName = "Old";
const std::string kOldId = FixedLabelId(3);

enum class Plant {
  kSymlinkToVictim,
  kDanglingLink,
  kHardLinkToVictim,
  kFifo,
  kDirectory,       // holding a file, so it cannot be removed
  kEmptyDirectory,  // can be removed like a file
  kForeignFile,     // world-writable, owned by nobody
};

// The run that writes a place: an addition with the CUPS tool; with the
// LPRng tool a removal of "Old", which rewrites each information file once,
// or an addition of "Old" again, the only run that writes the media file;
// the debug log in a child of the test.
enum class Run { kCupsAddition, kLprRemoval, kLprReplacement, kDebugLog };

// A fixed name one of the tools writes, and the run that writes it.
struct Place {
  const char* name;
  const char* path;  // below the test root
  Run run;
};

const Place kPlaces[] = {
    {"ScratchPpd", "/tmp/pTmpPPD", Run::kCupsAddition},
    {"ScratchUri", "/tmp/uri", Run::kCupsAddition},
    {"TapeListTemp", "/opt/corvane/km3030/bin/inf/cvkm3030func.$$$", Run::kLprRemoval},
    {"PrintAreaTemp", "/opt/corvane/km3030/bin/inf/paperinfkm3030pt1.$$$", Run::kLprRemoval},
    {"SettingsTemp", "/opt/corvane/km3030/bin/inf/cvkm3030rc.$$$", Run::kLprRemoval},
    {"ImagingAreaTemp", "/opt/corvane/km3030/bin/inf/ImagingArea.$$$", Run::kLprRemoval},
    {"PaperDimensionTemp", "/opt/corvane/km3030/bin/inf/PaperDimension.$$$", Run::kLprRemoval},
    {"MediaFile", "/opt/corvane/km3030/bin/inf/customtape/Old.bin", Run::kLprReplacement},
    {"MediaTemp", "/opt/corvane/km3030/bin/inf/customtape/Old.bin.$$$", Run::kLprReplacement},
    {"DebugLog", "/tmp/cvinkjet_lprng_debuglog.txt", Run::kDebugLog},
};

const Plant kPlants[] = {
    Plant::kSymlinkToVictim, Plant::kDanglingLink,   Plant::kHardLinkToVictim, Plant::kFifo,
    Plant::kDirectory,       Plant::kEmptyDirectory, Plant::kForeignFile};

const char* PlantName(Plant plant) {
  switch (plant) {
    case Plant::kSymlinkToVictim:
      return "SymlinkToVictim";
    case Plant::kDanglingLink:
      return "DanglingLink";
    case Plant::kHardLinkToVictim:
      return "HardLinkToVictim";
    case Plant::kFifo:
      return "Fifo";
    case Plant::kDirectory:
      return "Directory";
    case Plant::kEmptyDirectory:
      return "EmptyDirectory";
    case Plant::kForeignFile:
      return "ForeignFile";
  }
  return "";
}

void PrintTo(const Place& place, std::ostream* out) { *out << place.name; }
void PrintTo(Plant plant, std::ostream* out) { *out << PlantName(plant); }

// Whether the run is to succeed.  Scratch and temporary names are cleared of
// whatever stands there unless it is a directory that is not empty; the media
// file is renamed into place, which replaces anything but a directory; the
// debug log appends only to a file of its own with no other name.
bool Succeeds(const Place& place, Plant plant) {
  if (place.run == Run::kDebugLog) return false;
  if (plant == Plant::kDirectory) return false;
  return !(plant == Plant::kEmptyDirectory && std::string_view(place.name) == "MediaFile");
}

// What identifies a file and its content.
struct FileState {
  bool exists = false;
  ino_t inode = 0;
  mode_t mode = 0;
  uid_t owner = 0;
  nlink_t links = 0;
  std::string content;  // for a directory: the names and contents inside
};

FileState StateOf(const std::string& path) {
  FileState state;
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return state;
  state = {true, st.st_ino, st.st_mode, st.st_uid, st.st_nlink, ""};
  if (S_ISREG(st.st_mode)) state.content = ts::ReadFile(path);
  if (S_ISLNK(st.st_mode)) state.content = fs::read_symlink(path).string();
  if (S_ISDIR(st.st_mode)) {
    for (const auto& entry : fs::directory_iterator(path)) {
      state.content += entry.path().filename().string() + "=" + ts::ReadFile(entry.path()) + ";";
    }
  }
  return state;
}

bool operator==(const FileState& a, const FileState& b) {
  return a.exists == b.exists && a.inode == b.inode && a.mode == b.mode && a.owner == b.owner &&
         a.content == b.content;
}

void PrintTo(const FileState& state, std::ostream* out) {
  if (!state.exists) {
    *out << "(nothing)";
    return;
  }
  *out << "inode " << state.inode << ", mode " << std::oct << state.mode << std::dec << ", owner "
       << state.owner << ", " << state.links << " links, content \"" << state.content << "\"";
}

// Expects a regular file of the test's own user with no other name and
// `mode`; returns whether it is a regular file, which alone may be read (a
// FIFO left in place would block the reader).
bool ExpectFreshFile(const std::string& path, mode_t mode) {
  const FileState state = StateOf(path);
  EXPECT_TRUE(S_ISREG(state.mode)) << path;
  EXPECT_EQ(state.links, 1u) << path;
  EXPECT_EQ(state.owner, geteuid()) << path;
  EXPECT_EQ(state.mode & 07777, mode) << path;
  return S_ISREG(state.mode);
}

class PlantedLinksTest : public ToolFixture,
                         public ::testing::WithParamInterface<std::tuple<Place, Plant>> {
 protected:
  const Place& place = std::get<0>(GetParam());
  const Plant plant = std::get<1>(GetParam());
  const std::string path = root.Path(place.path);
  const std::string victim = root.Path("/victim");
  const std::string output = root.Path("/output");

  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "planting another user's file needs root";
    SeedOldFormat();
    ts::WriteFile(victim, "victim data\n", 0644);
    // The directories planted in are private and not sticky.
    for (std::string dir = fs::path(path).parent_path(); dir.size() >= root.dir.size();
         dir = fs::path(dir).parent_path()) {
      struct stat st;
      ASSERT_EQ(stat(dir.c_str(), &st), 0) << dir;
      ASSERT_EQ(st.st_mode & 07777, 0755u) << dir;
      ASSERT_EQ(st.st_uid, 0u) << dir;
    }
    PlantAt(path);
  }

  // "Old" in every information file, its media file, and the queue's PPD.
  void SeedOldFormat() {
    std::string tape_list = SampleInfo(kInfoFiles[0]);
    tape_list.insert(tape_list.find("[CustomTape]\n") + 13, kOldId + "/Old\n");
    WriteInfo(kInfoFiles[0], tape_list);
    WriteInfo(kInfoFiles[1], SampleInfo(kInfoFiles[1]) + kOldId + "/Old:\t215\t191\n");
    WriteInfo(kInfoFiles[2], SampleInfo(kInfoFiles[2]) + "MediaSize=" + kOldId + "\n");
    WriteInfo(kInfoFiles[3],
              SampleInfo(kInfoFiles[3]) + kOldId + "\t:\t4.25\t8.50\t80.79\t76.54\n");
    WriteInfo(kInfoFiles[4], SampleInfo(kInfoFiles[4]) + kOldId + "\t:\t85.04\t85.04\n");
    ts::WriteFile(inf + "/customtape/Old.bin", std::string(132, 'o'));
  }

  void PlantAt(const std::string& at) {
    std::remove(at.c_str());  // the seeded media file stands at one of the names
    switch (plant) {
      case Plant::kSymlinkToVictim:
        ASSERT_EQ(symlink(victim.c_str(), at.c_str()), 0);
        break;
      case Plant::kDanglingLink:
        ASSERT_EQ(symlink(root.Path("/nowhere/file").c_str(), at.c_str()), 0);
        break;
      case Plant::kHardLinkToVictim:
        ASSERT_EQ(link(victim.c_str(), at.c_str()), 0);
        break;
      case Plant::kFifo:
        ASSERT_EQ(mkfifo(at.c_str(), 0666), 0);
        break;
      case Plant::kDirectory:
        ASSERT_EQ(mkdir(at.c_str(), 0755), 0);
        ts::WriteFile(at + "/kept", "kept\n");
        break;
      case Plant::kEmptyDirectory:
        ASSERT_EQ(mkdir(at.c_str(), 0755), 0);
        break;
      case Plant::kForeignFile: {
        const passwd* nobody = getpwnam("nobody");
        ASSERT_NE(nobody, nullptr);
        ts::WriteFile(at, "foreign\n", 0666);
        ASSERT_EQ(chown(at.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        ASSERT_EQ(chmod(at.c_str(), 0666), 0);
        break;
      }
    }
  }

  // Runs `program` within the bound; the result's status is -1 when it hung.
  ts::RunResult RunBounded(const std::string& program, const Args& args,
                           const std::string& argv0 = "") {
    const pid_t pid = Start(program, args, Env(), argv0, output);
    std::vector<int> statuses;
    ts::RunResult result;
    if (WaitAll({pid}, kBoundSeconds, &statuses)) result.status = statuses[0];
    result.out = ts::ReadFile(output);
    return result;
  }

  // Appends one line to the debug log in a child of the test, which ends
  // with the log's exit status: 0, or 1 when the log could not be used.
  ts::RunResult DebugLogInChild() {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
      setpgid(0, 0);
      const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      dup2(out, 1);
      DebugLog("planted %d\n", 1);
      std::fflush(nullptr);
      _exit(0);
    }
    std::vector<int> statuses;
    ts::RunResult result;
    if (WaitAll({pid}, kBoundSeconds, &statuses)) result.status = statuses[0];
    result.out = ts::ReadFile(output);
    return result;
  }
};

TEST_P(PlantedLinksTest, VictimUnchangedAndRunSucceedsFreshOrFailsEarly) {
  const FileState victim_before = StateOf(victim), planted_before = StateOf(path);
  const std::string queue_ppd_before = ts::ReadFile(QueuePpd());
  const std::map<std::string, std::string> info_before = InfoFiles();
  const bool succeeds = Succeeds(place, plant);

  ts::RunResult result;
  switch (place.run) {
    case Run::kCupsAddition:
      result = RunBounded(ts::CupsToolPath(), CupsAddition("New"));
      break;
    case Run::kLprRemoval:
      result = RunBounded(ts::LprToolPath(), {"-P", kQueue, "-d", kOldName}, kLprProgramName);
      break;
    case Run::kLprReplacement:
      result = RunBounded(ts::LprToolPath(), LprAddition(kOldName), kLprProgramName);
      break;
    case Run::kDebugLog:
      result = DebugLogInChild();
      break;
  }
  ASSERT_NE(result.status, -1) << "the run hung";
  EXPECT_EQ(StateOf(victim), victim_before);
  const Calls calls = root.Calls();

  if (!succeeds) {
    // Whatever was planted is left alone.
    EXPECT_EQ(StateOf(path), planted_before);
    switch (place.run) {
      case Run::kCupsAddition:
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, std::string(std::strerror(ENOTEMPTY)) + "\n");
        EXPECT_EQ(calls, Calls{});
        EXPECT_EQ(ts::ReadFile(QueuePpd()), queue_ppd_before);
        break;
      case Run::kLprReplacement: {
        // The media file comes first: nothing else has happened.
        EXPECT_EQ(result.status, 255);
        // A directory cannot be renamed over; one that is not empty cannot be cleared.
        const int error = std::string_view(place.name) == "MediaFile" ? EISDIR : ENOTEMPTY;
        EXPECT_EQ(result.out, std::string(std::strerror(error)) + "\n");
        EXPECT_EQ(calls, Calls{});
        EXPECT_EQ(InfoFiles(), info_before);
        break;
      }
      case Run::kLprRemoval: {
        // The information files come after the CUPS tool's removal, in
        // order; the one that failed and those after it are unchanged.
        EXPECT_EQ(result.status, 255);
        EXPECT_EQ(result.out, std::string(std::strerror(ENOTEMPTY)) + "\n");
        EXPECT_EQ(calls.size(), 1u);
        const std::string failed = fs::path(path).stem().string();
        bool after = false;
        for (const std::string& name : kInfoFiles) {
          after = after || name == failed;
          if (after) {
            EXPECT_EQ(Info(name), info_before.at(name)) << name;
          }
        }
        break;
      }
      case Run::kDebugLog:
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, "\n!!! log file open error.!!! [" + path + "]\n");
        break;
    }
    return;
  }

  EXPECT_EQ(result.status, 0) << result.out;
  EXPECT_EQ(result.out, "");
  if (place.run == Run::kCupsAddition) {
    EXPECT_EQ(calls, ReRegistration());
    if (std::string_view(place.name) == "SavedPpd") {
      EXPECT_FALSE(ts::Exists(path));  // removed once the queue exists again
    } else if (ExpectFreshFile(path, 0644)) {
      EXPECT_EQ(ts::ReadFile(path), std::string_view(place.name) == "ScratchUri"
                                        ? OptionLine(kUsbUri) + "\n"
                                        : ts::ReadFile(QueuePpd()));
    }
    return;
  }
  if (place.run == Run::kLprRemoval) {
    // "Old" is gone from every information file, each a fresh file.
    EXPECT_EQ(calls.size(), 1u);
    for (const std::string& name : kInfoFiles) {
      ASSERT_TRUE(ExpectFreshFile(inf + "/" + name, 0666));
      EXPECT_EQ(Info(name).find(kOldId), std::string::npos) << name;
      EXPECT_FALSE(ts::Exists(inf + "/" + name + ".$$$")) << name;
    }
    return;
  }
  // The LPRng tool replaced "Old" under a new identifier everywhere.
  ASSERT_EQ(calls.size(), 2u);
  ASSERT_EQ(calls[1].size(), 29u);
  const std::string id = calls[1][26];
  for (const std::string& name : kInfoFiles) {
    ASSERT_TRUE(ExpectFreshFile(inf + "/" + name, 0666));
    EXPECT_EQ(Info(name).find(kOldId), std::string::npos) << name;
    if (name != kInfoFiles[2]) {
      EXPECT_EQ(LinesHolding(Info(name), id), 1u) << name;
    }
    EXPECT_FALSE(ts::Exists(inf + "/" + name + ".$$$")) << name;
  }
  const mode_t mask = umask(0);
  umask(mask);
  ASSERT_TRUE(ExpectFreshFile(inf + "/customtape/Old.bin", 0666 & ~mask));
  EXPECT_EQ(ts::ReadFile(inf + "/customtape/Old.bin").size(), 132u);
  EXPECT_FALSE(ts::Exists(inf + "/customtape/Old.bin.$$$"));
}

// The debug log with nothing planted: created, then appended to.
TEST_F(ToolFixture, DebugLogIsCreatedAndAppendedWhenNothingIsPlanted) {
  const std::string log = root.Path("/tmp/cvinkjet_lprng_debuglog.txt");
  ts::WriteFile(log, "earlier\n");
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    DebugLog("line %d\n", 2);
    _exit(0);
  }
  std::vector<int> statuses;
  ASSERT_TRUE(WaitAll({pid}, kBoundSeconds, &statuses));
  EXPECT_EQ(statuses[0], 0);
  EXPECT_EQ(ts::ReadFile(log), "earlier\nline 2\n");
}

INSTANTIATE_TEST_SUITE_P(Places, PlantedLinksTest,
                         ::testing::Combine(::testing::ValuesIn(kPlaces),
                                            ::testing::ValuesIn(kPlants)),
                         [](const ::testing::TestParamInfo<std::tuple<Place, Plant>>& info) {
                           return std::string(std::get<0>(info.param).name) + "_" +
                                  PlantName(std::get<1>(info.param));
                         });

}  // namespace
}  // namespace hardening
