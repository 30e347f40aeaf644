// PPD integrity: a label name never adds a PPD line of its own, and adding
// label formats and removing them again gives back the original PPD.
#include <algorithm>
#include <random>

#include "hardening_support.h"

namespace hardening {
namespace {

// The lines of a PPD as a PPD reader sees them: a carriage return ends a
// line as well as a line feed does.
std::vector<std::string> PpdLines(const std::string& ppd) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : ppd) {
    if (c == '\n' || c == '\r') {
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

// The lines of `after` that `before` does not have (counted with multiplicity).
std::vector<std::string> AddedLines(const std::string& before, const std::string& after) {
  std::vector<std::string> old_lines = PpdLines(before), new_lines = PpdLines(after), added;
  std::sort(old_lines.begin(), old_lines.end());
  std::sort(new_lines.begin(), new_lines.end());
  std::set_difference(new_lines.begin(), new_lines.end(), old_lines.begin(), old_lines.end(),
                      std::back_inserter(added));
  return added;
}

// The identifier on the first label "*PageSize" line of `ppd`, or "".
std::string FirstLabelId(const std::string& ppd) {
  const size_t at = ppd.find("\n*PageSize CvL");
  return at == std::string::npos ? "" : ppd.substr(at + 11, 15);
}

// How an injected name reaches the PPD.
enum class Route { kCupsName, kCupsSpecId, kLprName };

struct Injection {
  const char* name;
  Route route;
  std::string value;
};

class PpdInjectionTest : public ToolFixture, public ::testing::WithParamInterface<Injection> {};

TEST_P(PpdInjectionTest, NameIsRefusedOrStaysInsideItsOwnLines) {
  const Injection& injection = GetParam();
  InstallCupsTool(ts::CupsToolPath());
  Args args;
  switch (injection.route) {
    case Route::kCupsName:
      args = CupsAddition(injection.value);
      break;
    case Route::kCupsSpecId:
      args = CupsAddition("N");
      args.insert(args.end(), {"-specid", injection.value});
      break;
    case Route::kLprName:
      args = LprAddition(injection.value);
      break;
  }
  const ts::RunResult result = injection.route == Route::kLprName ? Lpr(args) : Cups(args);
  EXPECT_EQ(result.status, 0);
  const std::string ppd = ts::ReadFile(QueuePpd());
  for (const std::string& line : PpdLines(ppd)) {
    EXPECT_FALSE(line.starts_with("*FoomaticRIPCommandLine")) << line;
    EXPECT_FALSE(line.starts_with("*cupsFilter")) << line;
  }
  if (ppd == SamplePpd()) return;  // refused, by this tool or by the CUPS tool it runs
  const std::string id =
      injection.route == Route::kCupsSpecId ? injection.value : FirstLabelId(ppd);
  EXPECT_EQ(WithoutLinesHolding(ppd, {id}), SamplePpd());
  const std::vector<std::string> added = AddedLines(SamplePpd(), ppd);
  EXPECT_EQ(added.size(), 4u + 16u);
  for (const std::string& line : added) {
    const bool own_line = line.starts_with("*PageSize " + id + "/") ||
                          line.starts_with("*PageRegion " + id + "/") ||
                          line.starts_with("*ImageableArea " + id + "/") ||
                          line.starts_with("*PaperDimension " + id + "/") ||
                          line.starts_with("*UIConstraints:\t*CvMargin ");
    EXPECT_TRUE(own_line && line.find(id) != std::string::npos) << line;
  }
}

std::vector<Injection> Injections() {
  const std::vector<std::pair<const char*, std::string>> names = {
      {"LineFeedThenCommand", "a\n*FoomaticRIPCommandLine:\"id\""},
      {"LeadingLineFeed", "\n*FoomaticRIPCommandLine"},
      {"ReturnThenCommand", "x\r*FoomaticRIPCommandLine"},
      {"ReturnLineFeed", "x\r\n*cupsFilter2:\"a b 0 sh\""},
      {"KeywordAlone", "*FoomaticRIPCommandLine"},
      {"KeywordWithValue", "*FoomaticRIPCommandLine: \"id\""},
      {"QuoteThenLineFeed", "\"\n*FoomaticRIPCommandLine:"},
      {"TrailingLineFeed", "x\n"},
      {"VerticalTab", "x\v*FoomaticRIPCommandLine"},
      {"FormFeed", "x\f*cupsFilter: x"},
  };
  std::vector<Injection> injections;
  for (const auto& [name, value] : names) {
    injections.push_back({name, Route::kCupsName, value});
    injections.push_back({name, Route::kLprName, value});
  }
  for (const auto& [name, value] : std::vector<std::pair<const char*, std::string>>{
           {"SpecIdLineFeed", "CvL\n*FoomaticRIPCommandLine"},
           {"SpecIdReturn", "CvL\r*FoomaticRIPCommandLine"},
           {"SpecIdKeyword", "*FoomaticRIPCommandLine"},
           {"SpecIdColon", "CvL:\"id\""}}) {
    injections.push_back({name, Route::kCupsSpecId, value});
  }
  return injections;
}

const char* RouteName(Route route) {
  switch (route) {
    case Route::kCupsName:
      return "CupsName";
    case Route::kCupsSpecId:
      return "CupsSpecId";
    case Route::kLprName:
      return "LprName";
  }
  return "";
}

void PrintTo(const Injection& injection, std::ostream* out) {
  *out << RouteName(injection.route) << "_" << injection.name;
}

INSTANTIATE_TEST_SUITE_P(Names, PpdInjectionTest, ::testing::ValuesIn(Injections()),
                         [](const ::testing::TestParamInfo<Injection>& info) {
                           return std::string(RouteName(info.param.route)) + "_" + info.param.name;
                         });

// One addition of the round trip: name, width and length in mm.
struct Format {
  std::string name;
  std::string width;
  std::string length;
};

TEST_F(ToolFixture, TwentyAdditionsAndRemovalsGiveBackTheOriginalPpd) {
  const std::vector<Format> formats = {
      {"Label", "30", "30"},
      {"Label 2", "62", "100"},
      {"L", "29", "1"},
      {"La", "255", "4096"},
      {"$(id) `id` ${x}", "40", "59"},
      {"it's \\n", "50", "61"},
      {"*FoomaticRIPCommandLine", "38", "90"},
      {"Caf\xc3\xa9 \xe2\x82\xac", "54", "29"},
      {"-n", "1", "2"},
      {"--", "100", "300"},
      {"a b  c", "12.5", "7.9"},
      {"x;y|z&w", "80", "60"},
      {"[CustomTape]", "56", "56"},
      {"50x30", "50", "30"},
      {"*PageSize", "20", "20"},
      {"%!PS", "10", "10"},
      {"semi;colon=1", "33", "44"},
      {"{}<>()~#", "77", "5"},
      {"\x7e\x80\xff", "60", "31"},
      {"Label ", "30", "30"},
  };
  ASSERT_EQ(formats.size(), 20u);
  fixture_env = WithoutLeakScan();
  const std::string original = SamplePpd();
  std::map<std::string, std::string> ids;
  for (const Format& format : formats) {
    Args args = CupsAddition(format.name, kQueue, format.length);
    args[5] = format.width;
    ASSERT_EQ(Cups(args).status, 0) << format.name;
    const std::string ppd = ts::ReadFile(QueuePpd());
    const std::string page_size = "*PageSize CvL";
    const size_t line = ppd.find("/" + format.name + ":\t\t\"");
    ASSERT_NE(line, std::string::npos) << format.name;
    ids[format.name] = ppd.substr(ppd.rfind(page_size, line) + 10, 15);
  }
  std::string ppd = ts::ReadFile(QueuePpd());
  std::vector<std::string> all_ids;
  for (const auto& [name, id] : ids) all_ids.push_back(id);
  ASSERT_EQ(WithoutLinesHolding(ppd, all_ids), original);
  for (const auto& [name, id] : ids) {
    EXPECT_EQ(LinesHolding(ppd, "*PageSize " + id + "/"), 1u) << name;
    EXPECT_EQ(LinesHolding(ppd, "*PaperDimension " + id + "/"), 1u) << name;
  }

  // An administrator makes one of them the default, as lpadmin -o would.
  const std::string chosen = ids.at("Label 2");
  std::string expected = original;
  for (const std::string keyword : {"*DefaultPageSize:", "*DefaultPageRegion:",
                                    "*DefaultImageableArea:", "*DefaultPaperDimension:"}) {
    ppd.replace(ppd.find(keyword + " 50x30"), keyword.size() + 6, keyword + " " + chosen);
    expected.replace(expected.find(keyword + " 50x30"), keyword.size() + 6, keyword + "\t50x30");
  }
  InstallQueue(ppd);

  std::vector<Format> order = formats;
  std::shuffle(order.begin(), order.end(), std::mt19937(7));
  for (const Format& format : order) {
    root.ClearCalls();
    ASSERT_EQ(Cups({"-P", kQueue, "-d", format.name}).status, 0) << format.name;
    EXPECT_EQ(root.Calls(), ReRegistration()) << format.name;
    EXPECT_EQ(LinesHolding(ts::ReadFile(QueuePpd()), ids.at(format.name)), 0u) << format.name;
  }
  EXPECT_EQ(ts::ReadFile(QueuePpd()), expected);
}

}  // namespace
}  // namespace hardening
