// When things go wrong (files planted at fixed names, a full disk, a failing
// fsync or rename, a killed run, runs side by side, hostile values) every file
// is its old version or its new one, and nothing else is touched.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <random>

#include "file_rewrite.h"
#include "paper_size_tool.h"
#include "support.h"

namespace {

using Files = std::map<std::string, std::string>;
std::string Get(const Files& files, const std::string& path) {
  return files.contains(path) ? files.at(path) : "";
}
const ts::Args kAddition = {"-P", "KM-3030", "-n", "Big", "-w", "30", "-h", "30",
                            "-b", "2",       "-t", "4",   "-r", "1",  "-l", "1.5"};

// An LPRng addition on information files of 300 formats more than the
// samples', so that each rewrite takes several writes; `after` is what a
// whole run leaves.  Identifiers show without their time digits.
class Broken : public testing::Test {
 protected:
  ts::TestRoot root;
  Files before, after;

  Files Now() const {
    Files files;
    for (auto& [path, data] : ts::Tree(root.Inf()))
      files[path] = ts::MaskIds(data, [](const std::string& id) { return id.substr(0, 10); });
    return files;
  }
  void SetUp() override {
    for (const char* file : {"paperinfkm3030pt1", "ImagingArea", "PaperDimension"}) {
      std::string text = ts::ReadFile(root.Inf(file));
      for (int i = 10000; i < 10300; ++i) text += "CvL051E01E" + std::to_string(i) + "\t:\t1\n";
      ts::WriteFile(root.Inf(file), text);
    }
    before = Now();
    ASSERT_EQ(root.Lpr(kAddition).status, 0);
    after = Now();
    Restore();
  }
  // Each file is its old or its new version (unless not `checked`); then the
  // files are put back.
  void Restore(bool checked = true) {
    for (const auto& [path, data] : Now()) {
      EXPECT_TRUE(!checked || Get(before, path) == data || Get(after, path) == data) << path;
      if (!before.contains(path)) std::remove(root.Inf(path).c_str());
    }
    for (const auto& [path, data] : before) ts::WriteFile(root.Inf(path), data);
  }
  ts::RunResult Shell(const std::string& script, const ts::Env& env = {},
                      const ts::Args& tool_args = kAddition) {
    ts::Args args = {"-c", script + " exec -a cvpapertoollpr_km3030 \"$0\" \"$@\"", ts::LprTool()};
    args.insert(args.end(), tool_args.begin(), tool_args.end());
    return ts::Run("/bin/bash", args, root.ToolEnv(env));
  }
};

TEST_F(Broken, FullDiskAtEveryWrite) {
  int status = 255;
  for (int kib = 0; status == 255 && kib < 100; ++kib) {  // until the largest file fits
    const ts::RunResult run = Shell("trap '' XFSZ; ulimit -f " + std::to_string(kib) + ";");
    status = run.status;
    EXPECT_TRUE(status == 0 || status == 255) << kib;
    EXPECT_EQ((run.out + run.err).find("Input/output"), std::string::npos) << run.out << run.err;
    Restore();
  }
}

TEST_F(Broken, FailingFsyncOrRenameEndsTheRunWithTheFilesBeforeItRewritten) {
  // The media file is staged (forced to disk) first and renamed last, after
  // the print area, imaging area, paper dimension and tape list.
  const char* order[] = {"paperinfkm3030pt1", "ImagingArea", "PaperDimension", "cvkm3030func",
                         "customtape/Big.bin"};
  for (const std::string call : {"fsync:", "rename:"}) {
    for (int n = 1; n <= 5; ++n) {
      const ts::RunResult run = Shell("", {{"LD_PRELOAD", CORVANE_FAULT_SHIM},
                                           {"CORVANE_FAIL", call + std::to_string(n)},
                                           {"ASAN_OPTIONS", "verify_asan_link_order=0"}});
      const int failed = call == "fsync:" ? n - 2 : n - 1;  // -1: the media file's staging
      EXPECT_EQ(run.out + std::to_string(run.status),
                failed < 0 ? "Input/output error\n255" : "255");
      EXPECT_TRUE(failed < 0 ||
                  run.err.find(order[failed] + std::string(": Input")) != std::string::npos);
      for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Get(Now(), order[i]), Get(i < failed ? after : before, order[i]));
      Restore();
    }
  }
}

// Two runs killed anywhere, one after the other (additions of the name at
// its width or another, removals), then a sync and a removal of the name
// leave every information file as it was.
TEST_F(Broken, TwoKilledRunsThenSyncAndRemovalLeaveTheFilesAsBefore) {
  std::mt19937 random(20261207);
  ts::Args wider = kAddition;
  wider[5] = "31";
  const ts::Args kinds[] = {kAddition, wider, {"-P", "KM-3030", "-d", "Big"}};
  int killed = 0;
  for (int run = 0; run < 20; ++run) {
    ASSERT_EQ(run % 2 == 1 ? root.Lpr(kAddition).status : 0, 0);
    for (int cut = 0; cut < 2; ++cut) {
      // $$ is the shell that becomes the tool.
      const std::string kill =
          "(sleep " + std::to_string(random() % 60000 / 1e6) + "; kill -9 $$) &";
      killed += Shell(kill, {}, kinds[random() % 3]).status == 137;
    }
    ASSERT_EQ(root.Lpr({"-sync", "KM-3030"}).status, 0);
    ASSERT_EQ(root.Lpr({"-P", "KM-3030", "-d", "Big"}).status, 0);
    for (const auto& [path, data] : Now()) {
      const bool left = path.ends_with(".$$$") || path.starts_with("customtape/Big.bin");
      EXPECT_EQ(left ? Get(before, path) : data, Get(before, path)) << path << ", run " << run;
    }
    Restore(false);
  }
  EXPECT_GT(killed, 0);
}

// Every line, of any length and wherever reads end, reaches the edit whole;
// a last line without a line feed stays so; an unreadable source makes no copy.
TEST(LineStreams, EveryLineReachesTheEditWhole) {
  ts::TestRoot root;
  std::mt19937 random(7);
  std::string source, expected;
  while (source.size() < 900000) {
    std::string line(random() % 8 ? random() % 120 : random() % 300000,
                     static_cast<char>('a' + random() % 26));
    if (random() % 5 == 0) line.insert(random() % (line.size() + 1), "DROP");
    source += line + "\n";
    if (line.find("DROP") == std::string::npos) expected += "<" + line + "\n";
  }
  ts::WriteFile(root.Path("/src"), source + "z");
  auto edit = [](std::string_view line, LineWriter& out) {
    if (line.find("DROP") != std::string_view::npos) return;
    WriteText("<", out);
    WriteText(line, out);
  };
  ASSERT_EQ(WriteEditedCopy(root.Path("/src"), root.Path("/out"), 0644, edit, AddNothing), 0);
  EXPECT_EQ(ts::ReadFile(root.Path("/out")), expected + "<z");
  for (const char* unreadable : {"/tmp", "/none"})
    EXPECT_EQ(WriteEditedCopy(root.Path(unreadable), root.Path("/out"), 0644, edit, AddNothing),
              -1);
  EXPECT_EQ(access(root.Path("/out").c_str(), F_OK), -1);
}

TEST(FreshFile, ReplacesWhateverWasPlantedAtTheName) {
  ts::TestRoot root;
  const std::string victim = root.Path("/victim"), name = root.Path("/tmp/name");
  ts::WriteFile(victim, "victim\n", 0666);
  // A link to the victim, a dangling link, a hard link, a FIFO, a directory, another user's file.
  for (const std::string plant : {"ln -s $1 $0", "ln -s /none/x $0", "ln $1 $0", "mkfifo $0",
                                  "mkdir $0", "echo other >$0 && chown 1:1 $0"}) {
    if (plant.find("chown") != std::string::npos && geteuid() != 0) continue;
    ASSERT_EQ(ts::Run("/bin/sh", {"-c", plant, name, victim}).status, 0) << plant;
    const mode_t mask = umask(077);
    const int fd = CreateFreshFd(name, 0644);
    umask(mask);
    LineWriter out(fd);
    WriteText("mine\n", out);
    ASSERT_EQ(FlushLineWriter(out) + close(fd), 0);
    struct stat st {};
    lstat(name.c_str(), &st);
    EXPECT_EQ(std::make_tuple(S_ISREG(st.st_mode), st.st_nlink, st.st_mode & 07777, st.st_uid),
              std::make_tuple(true, nlink_t{1}, mode_t{0644}, geteuid()));
    EXPECT_EQ(ts::ReadFile(name) + ts::ReadFile(victim), "mine\nvictim\n");
    unlink(name.c_str());
  }
  // A name that cannot be created gives no descriptor (0 would be standard input).
  errno = 0;
  EXPECT_EQ(CreateFreshFd(root.Path("/none/name"), 0644), -1);
  EXPECT_EQ(errno, ENOENT);
  // The debug log appends only to a regular file of its own with one name,
  // and ends the run when it cannot write.
  const std::string log = root.Path("/tmp/cvinkjet_lprng_debuglog.txt");
  ASSERT_EQ(symlink(victim.c_str(), log.c_str()), 0);
  EXPECT_EXIT(DebugLog("x"), testing::ExitedWithCode(1), "");
  EXPECT_EQ(ts::ReadFile(victim), "victim\n");
  unlink(log.c_str());
  const rlimit none{0, 0};
  EXPECT_EXIT((signal(SIGXFSZ, SIG_IGN), setrlimit(RLIMIT_FSIZE, &none), DebugLog("x")),
              testing::ExitedWithCode(1), "");
  EXPECT_EQ(DebugLog("%s %d\n", "appended", 5) + DebugLog("!"), 12);
  EXPECT_EQ(ts::ReadFile(log), "appended 5\n!");
}

// While the lock of a run stands (held here on the directory it locks), the
// next run of either tool waits, and lands once the lock is gone.
TEST(SideBySide, ARunWaitsForTheOneBefore) {
  ts::TestRoot root;
  root.InstallCupsTool(true);
  const std::string lpr =
      "exec -a cvpapertoollpr_km3030 \"$0\" -P KM-3030 -w 9 -h 9 -l 1 -t 1 "
      "-r 1 -b 1 -n Waited";
  for (const auto& [locked, tool, file] :
       {std::tuple{root.Inf(), lpr, root.Inf("paperinfkm3030pt1")},
        {root.Path("/etc/cups/ppd"), "exec \"$1\" -P KM-3030 -n Waited -w 9 -h 9", root.Ppd()}}) {
    const std::string was = ts::ReadFile(file);
    const ts::RunResult run = ts::Run(
        "/bin/bash",
        {"-c", "exec 9<\"$2\"; flock 9; (" + tool + ") & sleep 0.5; cat \"$3\"; flock -u 9; wait",
         ts::LprTool(), ts::CupsTool(), locked, file},
        root.ToolEnv());
    EXPECT_EQ(run.out, was) << file << " changed while the lock stood";
    EXPECT_NE(ts::ReadFile(file).find("/Waited:"), std::string::npos) << file;
  }
}

// Each value of tests/data/hostile_values.txt in each slot of
// tests/data/hostile_slots.tsv: the command line is refused and nothing
// runs, or the value reaches its command whole, as one argument; a canary
// file never appears.
TEST(HostileValues, ArriveLiterallyInEverySlotOrAreRefused) {
  ts::TestRoot root;
  std::remove("/tmp/corvane-canary");  // one an earlier, broken build may have left
  const std::string sample = ts::ReadFile(root.Ppd());
  for (const ts::Args& row : ts::Table("hostile_values.txt")) {
    auto put = [&](const std::string& text) { return ts::Replaced(text, "@V@", row[0]); };
    for (const ts::Args& slot : ts::Table("hostile_slots.tsv")) {
      ts::Args args;
      for (size_t i = 3; i < slot.size(); ++i) args.push_back(put(slot[i]));
      ts::WriteFile(root.Ppd(), sample);
      ts::WriteFile(root.Ppd(row[0]), sample);
      root.ClearCalls();
      const ts::Env env = {{"STUB_LPOPTIONS_LINE", "a=1 device-uri=" + put(slot[1])}};
      const ts::RunResult run = slot[0] == "lpr" ? root.Lpr(args, env) : root.Cups(args, env);
      EXPECT_EQ(access("/tmp/corvane-canary", F_OK), -1) << row[0];
      const bool refused = run.out.find(" Usage: cvpapertool") != std::string::npos;
      if (run.err.find("information files only") != std::string::npos) continue;
      const std::string calls = ts::MaskIds(root.Calls(), [](auto&) { return "ID"; });
      EXPECT_EQ(ts::Replaced(calls, root.dir, "@ROOT@"), refused ? "" : put(slot[2])) << row[0];
    }
  }
}

}  // namespace
