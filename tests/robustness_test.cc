// What must hold when things go wrong: files planted at fixed names, a full
// disk at every write, a failing fsync or rename, hostile values in every
// slot, runs side by side, and runs killed halfway.  Afterwards every file is
// its old version or its new one, and nothing outside the tools' own files
// is touched.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <initializer_list>
#include <map>
#include <random>
#include <regex>

#include "file_rewrite.h"
#include "paper_size_tool.h"
#include "support.h"

namespace {

using Files = std::map<std::string, std::string>;
const ts::Args kAddition = {"-P", "KM-3030", "-n", "Big", "-w", "30", "-h", "30", "-g", "3",
                            "-b", "2",       "-t", "4",   "-r", "1",  "-l", "1.5"};

// The information files with the time digits of every identifier hidden.
Files InfoFiles(const ts::TestRoot& root) {
  Files files;
  for (auto& [path, data] : ts::Tree(root.Inf())) {
    files[path] = std::regex_replace(data, std::regex("(CvL[0-9A-F]{7})[0-9A-F]{5}"), "$1#####");
  }
  return files;
}

// Each information file is its version of `old` or of `now` (a temporary
// file left by a killed run aside).
void ExpectOldOrNew(const ts::TestRoot& root, const Files& old, const Files& now) {
  for (const auto& [path, data] : InfoFiles(root)) {
    if (path.ends_with(".$$$")) continue;
    EXPECT_TRUE((old.contains(path) && old.at(path) == data) || now.at(path) == data) << path;
  }
}

// Puts the information directory back as `old` had it.
void Restore(const ts::TestRoot& root, const Files& old) {
  for (const auto& [path, data] : ts::Tree(root.Inf())) {
    if (!old.contains(path)) std::remove(root.Inf(path).c_str());
  }
  for (const auto& [path, data] : old) ts::WriteFile(root.Inf(path), data);
}

// A driver tree whose files hold 300 formats besides the samples', so that
// each rewrite takes several writes; returns them before and after an addition.
std::pair<Files, Files> GrowTree(const ts::TestRoot& root) {
  for (const char* file : {"paperinfkm3030pt1", "ImagingArea", "PaperDimension"}) {
    std::string text = ts::ReadFile(root.Inf(file));
    for (int i = 0; i < 300; ++i) text += "CvL051E01E" + std::to_string(10000 + i) + "\t:\t1\n";
    ts::WriteFile(root.Inf(file), text);
  }
  const Files before = InfoFiles(root);
  EXPECT_EQ(root.Lpr(kAddition).status, 0);
  Files after = InfoFiles(root);
  Restore(root, before);
  return {before, after};
}

TEST(FreshFile, ReplacesWhateverWasPlantedAtTheName) {
  ts::TestRoot root;
  const std::string victim = root.Path("/victim"), name = root.Path("/tmp/name");
  ts::WriteFile(victim, "victim\n", 0666);
  const std::function<int()> plants[] = {
      [&] { return symlink(victim.c_str(), name.c_str()); },
      [&] { return symlink("/nonexistent/x", name.c_str()); },
      [&] { return link(victim.c_str(), name.c_str()); },
      [&] { return mkfifo(name.c_str(), 0666); },
      [&] { return mkdir(name.c_str(), 0777); },
      [&] { return ts::WriteFile(name, "other\n", 0666), chown(name.c_str(), 1, 1); }};
  for (const auto& plant : plants) {
    ASSERT_EQ(plant(), 0);
    const mode_t mask = umask(077);
    const int fd = CreateFreshFd(name, 0644);
    umask(mask);
    ASSERT_EQ(write(fd, "mine\n", 5), 5);
    ASSERT_EQ(CloseFdChecked(fd, true), 0);
    struct stat st {};
    ASSERT_EQ(lstat(name.c_str(), &st), 0);
    EXPECT_EQ(std::make_tuple(S_ISREG(st.st_mode), st.st_nlink, st.st_mode & 07777, st.st_uid),
              std::make_tuple(true, nlink_t{1}, mode_t{0644}, geteuid()));
    EXPECT_EQ(ts::ReadFile(name) + ts::ReadFile(victim), "mine\nvictim\n");
    unlink(name.c_str());
  }
  ts::WriteFile(name + "/inside", "kept\n");
  EXPECT_EQ(CreateFreshFd(name, 0644), -1);
  EXPECT_EQ(ts::ReadFile(name + "/inside"), "kept\n");
  // The debug log appends only to a regular file of its own with one name.
  symlink(victim.c_str(), root.Path("/tmp/cvinkjet_lprng_debuglog.txt").c_str());
  EXPECT_EXIT(DebugLog("x"), testing::ExitedWithCode(1), "");
  EXPECT_EQ(ts::ReadFile(victim), "victim\n");
}

TEST(FullDisk, EveryWriteThatFailsLeavesOldOrNewFiles) {
  ts::TestRoot root;
  const auto [before, after] = GrowTree(root);
  size_t largest = 0;
  for (const auto& [path, data] : after) largest = std::max(largest, data.size());
  for (size_t blocks = 0; blocks <= largest / 1024 + 1; ++blocks) {
    // bash counts the limit in KiB.
    ts::Args args = {"-c", "trap '' XFSZ; ulimit -f " + std::to_string(blocks) +
                               "; exec -a cvpapertoollpr_km3030 \"$0\" \"$@\"",
                     ts::LprTool()};
    args.insert(args.end(), kAddition.begin(), kAddition.end());
    const int status = ts::Run("/bin/bash", args, root.ToolEnv()).status;
    EXPECT_TRUE(status == 0 || status == 255) << blocks;
    ExpectOldOrNew(root, before, after);
    for (const auto& [path, data] : InfoFiles(root)) EXPECT_FALSE(path.ends_with(".$$$")) << path;
    Restore(root, before);
  }
  // The CUPS tool's copy of a large PPD: a copy not written whole runs no CUPS command.
  root.ClearCalls();
  const std::string ppd = ts::ReadFile(root.Ppd()) + "*% " + std::string(100000, 'x') + "\n";
  ts::WriteFile(root.Ppd(), ppd);
  const ts::RunResult cut = ts::Run(
      "/bin/sh", {"-c", "trap '' XFSZ; ulimit -f 64; exec \"$0\" -P KM-3030 -n a -w 9 -h 9",
                  ts::CupsTool()},
      root.ToolEnv());
  EXPECT_EQ(cut.out + std::to_string(cut.status), "File too large\n1");
  EXPECT_TRUE(root.Calls().empty());
  EXPECT_EQ(ts::ReadFile(root.Ppd()), ppd);
}

TEST(FailingCall, EachFsyncAndRenameFailureStopsTheRunCleanly) {
  ts::TestRoot root;
  const auto [before, after] = GrowTree(root);
  for (const char* call : {"fsync", "rename"}) {
    for (int n = 1; n <= 5; ++n) {
      const ts::RunResult run = root.Lpr(
          kAddition, {{"LD_PRELOAD", CORVANE_FAULT_SHIM},
                      {"CORVANE_FAIL", call + std::string(":") + std::to_string(n)},
                      {"ASAN_OPTIONS", "verify_asan_link_order=0:detect_leaks=0"}});
      EXPECT_EQ(run.status, 255) << call << n;
      // The media file comes first, then the tape list, print area, imaging area, paper dimension.
      EXPECT_EQ(run.out, n == 1 ? "Input/output error\n" : "") << call << n;
      EXPECT_EQ(ts::ReadFile(root.Inf("customtape/Big.bin")).size(), n == 1 ? 0u : 132u);
      const char* order[] = {"cvkm3030func", "paperinfkm3030pt1", "ImagingArea", "PaperDimension"};
      for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(InfoFiles(root)[order[i]], (i < n - 2 ? after : before).at(order[i])) << call << n;
      }
      for (const auto& [path, data] : InfoFiles(root)) EXPECT_FALSE(path.ends_with(".$$$")) << path;
      Restore(root, before);
    }
  }
}

TEST(HostileValues, ArriveLiterallyInEverySlotOrAreRefused) {
  ts::TestRoot root;
  const std::string canary = root.Path("/canary"), scratch = root.Path("/tmp/pTmpPPD");
  const ts::Args add = {"-w", "9", "-h", "9"};
  const std::string sample = ts::ReadFile(root.Ppd());
  const ts::Args add_call = {"-w", "9", "-h", "9", "-l", "0.00", "-t", "0.00", "-r", "0.00", "-b",
                             "0.00", "-g", "0.00", "-S", "0", "-m", "0.00", "-o", "0.00", "-specid", "ID"};
  auto join = [](std::initializer_list<ts::Args> parts) {
    ts::Args all;
    for (const ts::Args& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
  };
  for (const ts::Args& row : ts::Table("hostile_values.txt")) {
    const std::string v = std::regex_replace(row[0], std::regex("@CANARY@"), canary);
    const ts::Args lpoptions = {"lpoptions", "-p", "KM-3030"};
    const ts::Args lpadmin = {"lpadmin", "-p", "KM-3030", "-P", scratch};
    const ts::Args cups = {"cvpapertoolcups", "-P"};
    // Each slot: which tool, its arguments, extra environment, the calls it must give.
    const struct {
      bool lpr;
      ts::Args args;
      ts::Env env;
      std::vector<ts::Args> calls;
    } slots[] = {
        {false, join({{"-P", v, "-n", "a"}, add}), {}, {{"lpoptions", "-p", v}, {"lpadmin", "-p", v, "-P", scratch}}},
        {false, join({{"-P", "KM-3030", "-n", v}, add}), {}, {lpoptions, lpadmin}},
        {false, {"-P", "KM-3030", "-d", v}, {}, {}},
        {false, join({{"-P", "KM-3030", "-n", "a"}, add}), {{"STUB_LPOPTIONS_LINE", "a=1 device-uri=" + v}}, {lpoptions, lpadmin}},
        {true, {"-P", v, "-d", "a"}, {}, {join({cups, {v, "-d", "a", "-show", "1"}})}},
        {true, join({{"-P", "q", "-n", v}, add}), {},
         {join({cups, {"q", "-d", v, "-show", "1"}}), join({cups, {"q", "-n", v}, add_call, {"-show", "1"}})}},
        {true, {"-P", "q", "-d", v}, {}, {join({cups, {"q", "-d", v, "-show", "1"}})}},
    };
    for (const auto& slot : slots) {
      ts::WriteFile(root.Ppd(), sample);
      ts::WriteFile(root.Ppd(v), sample);
      root.ClearCalls();
      const ts::RunResult run = slot.lpr ? root.Lpr(slot.args, slot.env) : root.Cups(slot.args, slot.env);
      std::vector<ts::Args> calls = root.Calls();
      for (ts::Args& call : calls) {
        for (std::string& arg : call) arg = std::regex_replace(arg, std::regex("^CvL[0-9A-F]{12}$"), "ID");
      }
      const bool refused = run.out.find(" Usage: cvpapertool") != std::string::npos;
      EXPECT_EQ(calls, refused ? std::vector<ts::Args>{} : slot.calls) << v;
      EXPECT_EQ(access(canary.c_str(), F_OK), -1) << v;
    }
  }
}

TEST(SideBySide, TwoAdditionsAtOnceBothLand) {
  ts::TestRoot root;
  root.InstallCupsTool(true);
  const std::string both = "(exec -a cvpapertoollpr_km3030 \"$0\" -P KM-3030 -n A -w 9 -h 9 -l 1 -t 1 -r 1 -b 1) & "
                           "(exec -a cvpapertoollpr_km3030 \"$0\" -P KM-3030 -n B -w 9 -h 9 -l 1 -t 1 -r 1 -b 1) & wait";
  ts::Run("/bin/bash", {"-c", both, ts::LprTool()}, root.ToolEnv());
  for (const char* name : {"/A:", "/B:"}) {
    EXPECT_NE(ts::ReadFile(root.Ppd()).find(name), std::string::npos) << name;
    EXPECT_NE(ts::ReadFile(root.Inf("paperinfkm3030pt1")).find(name), std::string::npos) << name;
  }
}

TEST(Killed, ARunKilledAnywhereLeavesEachFileOldOrNew) {
  ts::TestRoot root;
  const auto [before, after] = GrowTree(root);
  std::mt19937 random(20261207);
  for (int run = 0; run < 20; ++run) {
    const pid_t pid = fork();
    if (pid == 0) {
      setpgid(0, 0);
      for (const auto& [name, value] : root.ToolEnv()) setenv(name.c_str(), value.c_str(), 1);
      ts::Args args = {"cvpapertoollpr_km3030"};
      args.insert(args.end(), kAddition.begin(), kAddition.end());
      std::vector<char*> argv;
      for (std::string& arg : args) argv.push_back(arg.data());
      argv.push_back(nullptr);
      execv(ts::LprTool().c_str(), argv.data());
      _exit(127);
    }
    setpgid(pid, pid);
    usleep(random() % 60000);
    kill(-pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    ExpectOldOrNew(root, before, after);
    Restore(root, before);
  }
}

}  // namespace
