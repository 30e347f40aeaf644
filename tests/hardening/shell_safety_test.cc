// Hostile values through every slot of both tools, end to end with the CUPS
// stand-ins: each value reaches its program literally or the command line is
// refused with the usage text, and nothing runs that was not asked for.
#include <cstdio>

#include "hardening_support.h"
#include "hostile_values.h"

namespace hardening {
namespace {

// Every slot gets at least this many distinct values.
constexpr size_t kValuesPerSlot = 100;

// `value` with its unprintable bytes escaped, for failure messages.
std::string Shown(std::string_view value) {
  static const char kHex[] = "0123456789abcdef";
  std::string shown = "\"";
  for (char c : value.substr(0, 200)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 32 || byte >= 127 || c == '"' || c == '\\') {
      shown += "\\x";
      shown += kHex[byte >> 4];
      shown += kHex[byte & 0xF];
    } else {
      shown += c;
    }
  }
  return shown + (value.size() > 200 ? "\"... (" + std::to_string(value.size()) + " bytes)" : "\"");
}

// The two-digit name-length field of an identifier made for `name`.
std::string IdPrefix(std::string_view name) { return FixedLabelId(name.size()).substr(0, 10); }

// The identifier on the first label "*PageSize" line of `ppd`, or "".
std::string FirstLabelId(const std::string& ppd) {
  const size_t at = ppd.find("\n*PageSize CvL");
  return at == std::string::npos ? "" : ppd.substr(at + 11, 15);
}

// The call the LPRng tool makes to have the CUPS tool remove `name`.
std::vector<std::string> CupsRemovalCall(const std::string& queue, const std::string& name) {
  return {"cvpapertoolcups", "-P", queue, "-d", name, "-show", "1"};
}

// The call the LPRng tool makes to have the CUPS tool add `name` (LprAddition's geometry).
std::vector<std::string> CupsAdditionCall(const std::string& queue, const std::string& name,
                                          const std::string& id) {
  return testing_support::UsageExampleCupsAddition(queue, name, id);
}

class ShellSafetyTest;
using SlotCheck = void (ShellSafetyTest::*)(const std::string& value, bool refused);

struct Slot {
  const char* name;
  SlotRule (*rule)();
  SlotCheck check;
};

void PrintTo(const Slot& slot, std::ostream* out) { *out << slot.name; }

class ShellSafetyTest : public ToolFixture, public ::testing::WithParamInterface<Slot> {
 protected:
  ShellSafetyTest() { fixture_env = WithoutLeakScan(); }
  std::string cups_usage = Cups({}).out;
  std::string lpr_usage = Lpr({}).out;

  // A refused command line: the usage text, status 0, no command run.
  void ExpectRefused(const ts::RunResult& result, const std::string& usage) {
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, usage);
    EXPECT_EQ(root.Calls(), Calls{});
  }

 public:
  // CUPS tool, "-P": the queue name reaches lpoptions and both lpadmin commands.
  void CupsQueue(const std::string& value, bool refused) {
    if (refused) {
      ExpectRefused(Cups(CupsAddition("N", value)), cups_usage);
      return;
    }
    InstallQueue(SamplePpd(), value);
    const ts::RunResult result = Cups(CupsAddition("N", value));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(root.Calls(), ReRegistration(value));
    EXPECT_EQ(LinesHolding(ts::ReadFile(QueuePpd(value)), "/N:"), 4u);
    std::remove(QueuePpd(value).c_str());
  }

  // CUPS tool, "-n": the name lands whole in its own four PPD lines.
  void CupsAddName(const std::string& value, bool refused) {
    InstallQueue(SamplePpd());
    if (refused) {
      ExpectRefused(Cups(CupsAddition(value)), cups_usage);
      EXPECT_EQ(ts::ReadFile(QueuePpd()), SamplePpd());
      return;
    }
    const ts::RunResult result = Cups(CupsAddition(value));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(root.Calls(), ReRegistration());
    const std::string ppd = ts::ReadFile(QueuePpd()), id = FirstLabelId(ppd);
    EXPECT_EQ(id.substr(0, 10), IdPrefix(value));
    EXPECT_EQ(WithoutLinesHolding(ppd, {id}), SamplePpd());
    EXPECT_EQ(LinesHolding(ppd, id), 4u + 16u);  // four entries, margins 15 to 30
    const std::string option = id + "/" + value + ":";
    for (const std::string& line : {"*PageSize " + option + "\t\t\"          \"\n",
                                    "*PageRegion " + option + "\t\t\"          \"\n",
                                    "*ImageableArea " + option + "\t\"4.25 8.50 80.79 76.54\"\n",
                                    "*PaperDimension " + option + "\t\"85.04 85.04\"\n"}) {
      EXPECT_NE(ppd.find("\n" + line), std::string::npos) << Shown(line);
    }
  }

  // CUPS tool, "-d": a format of that name is found and removed; a name no
  // PPD line can hold (one with a line feed) is simply not there.
  void CupsDeleteName(const std::string& value, bool refused) {
    const std::string id = FixedLabelId(value.size()), option = id + "/" + value + ":";
    const std::string seeded = SamplePpd() + "*PageSize " + option + "\t\t\"          \"\n" +
                               "*PageRegion " + option + "\t\t\"          \"\n" +
                               "*UIConstraints:\t*CvMargin 30\t*PageSize " + id + "\n";
    InstallQueue(seeded);
    const ts::RunResult result = Cups({"-P", kQueue, "-d", value});
    if (refused) {
      ExpectRefused(result, cups_usage);
      EXPECT_EQ(ts::ReadFile(QueuePpd()), seeded);
      return;
    }
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    const bool storable = value.find('\n') == std::string::npos;
    EXPECT_EQ(root.Calls(), storable ? ReRegistration() : Calls{});
    EXPECT_EQ(ts::ReadFile(QueuePpd()), storable ? SamplePpd() : seeded);
  }

  // CUPS tool, device URI: what lpoptions printed reaches "lpadmin -v" whole,
  // up to the blank that ends the option word (a real URI holds none).
  void CupsDeviceUri(const std::string& value, bool /*refused*/) {
    InstallQueue(SamplePpd());
    const ts::RunResult result =
        Cups(CupsAddition("N"), {{"STUB_LPOPTIONS_LINE", OptionLine(value)}});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(root.Calls(), ReRegistration(kQueue, value.substr(0, value.find_first_of(" \n"))));
  }

  // LPRng tool, "-P": the queue name reaches both CUPS tool commands.
  void LprQueue(const std::string& value, bool refused) {
    const ts::RunResult result = Lpr(LprAddition("N", value));
    if (refused) {
      ExpectRefused(result, lpr_usage);
      return;
    }
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    const Calls calls = root.Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], CupsRemovalCall(value, "N"));
    EXPECT_EQ(calls[1], CupsAdditionCall(value, "N", calls[1].size() == 29 ? calls[1][26] : ""));
    for (const std::string& name : kInfoFiles) WriteInfo(name, SampleInfo(name));
  }

  // LPRng tool, "-n": the name reaches both CUPS tool commands, the
  // information files and the media file's name.
  void LprAddName(const std::string& value, bool refused) {
    const ts::RunResult result = Lpr(LprAddition(value));
    if (refused) {
      ExpectRefused(result, lpr_usage);
      return;
    }
    EXPECT_EQ(result.status, 0);
    const Calls calls = root.Calls();
    ASSERT_EQ(calls.size(), 2u);
    ASSERT_EQ(calls[1].size(), 29u);
    const std::string id = calls[1][26];
    EXPECT_EQ(id.substr(0, 10), IdPrefix(value));
    EXPECT_EQ(calls[0], CupsRemovalCall(kQueue, value));
    EXPECT_EQ(calls[1], CupsAdditionCall(kQueue, value, id));
    EXPECT_NE(Info(kInfoFiles[0]).find("[CustomTape]\n" + id + "/" + value + "\n"),
              std::string::npos);
    EXPECT_EQ(ts::SplitLines(Info(kInfoFiles[1])).back(), id + "/" + value + ":\t215\t191");
    const std::string media = inf + "/customtape/" + value + ".bin";
    EXPECT_EQ(ts::ReadFile(media).size(), 132u);
    std::remove(media.c_str());
    for (const std::string& name : kInfoFiles) WriteInfo(name, SampleInfo(name));
  }

  // LPRng tool, "-d": the name reaches the CUPS tool's removal command.
  void LprDeleteName(const std::string& value, bool refused) {
    const ts::RunResult result = Lpr({"-P", kQueue, "-d", value});
    if (refused) {
      ExpectRefused(result, lpr_usage);
      return;
    }
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(root.Calls(), Calls{CupsRemovalCall(kQueue, value)});
  }
};

TEST_P(ShellSafetyTest, EveryValueArrivesLiterallyOrIsRefusedAndNothingElseRuns) {
  const Slot& slot = GetParam();
  const SlotRule rule = slot.rule();
  const std::vector<std::string> values = HostileValues(rule, kValuesPerSlot);
  ASSERT_GE(values.size(), kValuesPerSlot);
  const std::map<std::string, std::string> info_before = InfoFiles();
  ScopedWorkingDirectory cwd(root.dir);
  size_t refused = 0;
  for (const std::string& value : values) {
    root.ClearCalls();
    const bool refuses = Refuses(rule, value);
    refused += refuses ? 1 : 0;
    (this->*slot.check)(value, refuses);
    EXPECT_FALSE(ts::Exists(root.dir + "/" + kCanary));
    if (HasFailure()) {
      ADD_FAILURE() << slot.name << ": first failing value " << Shown(value);
      break;
    }
  }
  // Slots that store nothing in the information files leave them as they were.
  EXPECT_EQ(InfoFiles(), info_before);
  // Both verdicts are exercised in every slot that refuses anything.
  EXPECT_LT(refused, values.size());
  if (!rule.refused_bytes.empty()) {
    EXPECT_GT(refused, rule.refused_bytes.size());
  }
  RecordProperty("values", static_cast<int>(values.size()));
  RecordProperty("refused", static_cast<int>(refused));
}

INSTANTIATE_TEST_SUITE_P(
    Slots, ShellSafetyTest,
    ::testing::Values(Slot{"CupsQueue", CupsQueueRule, &ShellSafetyTest::CupsQueue},
                      Slot{"CupsAddName", CupsAddNameRule, &ShellSafetyTest::CupsAddName},
                      Slot{"CupsDeleteName", CupsDeleteNameRule, &ShellSafetyTest::CupsDeleteName},
                      Slot{"CupsDeviceUri", DeviceUriRule, &ShellSafetyTest::CupsDeviceUri},
                      Slot{"LprQueue", LprQueueRule, &ShellSafetyTest::LprQueue},
                      Slot{"LprAddName", LprAddNameRule, &ShellSafetyTest::LprAddName},
                      Slot{"LprDeleteName", LprDeleteNameRule, &ShellSafetyTest::LprDeleteName}),
    [](const ::testing::TestParamInfo<Slot>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace hardening
