#include "run/conversion.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "test_support.h"
#include "textfile/line_file.h"

namespace tintgrove {
namespace {

using test::FakeDialogs;

const char kSunset[] =
    "{\r\n    \"name\": \"sunset\",\r\n    \"stops\": [\r\n"
    "    \"position\": 0.0,\r\n    \"color\": \"#000000\",\r\n"
    "    \"position\": 1.0,\r\n    \"color\": \"#FF8000\"\r\n    ]\r\n}\r\n";

class ConversionRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_.path());
    test::writeBytes(folder_.file("hex-bin.txt"), test::standardTable());
  }
  void TearDown() override { std::filesystem::current_path(previous_); }
  // Runs once with the dialog answering `answer`; the one notice it showed.
  Text runWith(const Text& answer) {
    FakeDialogs dialogs(answer);
    exitCode_ = ConversionRun::run(dialogs, {});
    EXPECT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.notices.size(), 1u);
    EXPECT_EQ(dialogs.titles.at(0), u"Info:");
    return dialogs.notices.at(0);
  }
  static Text summary(std::initializer_list<const char16_t*> lines) {
    Text text = u"Tintgrove 0.2  orlavex 03.20.2026\r";
    for (const char16_t* line : lines) (text += line) += u'\r';
    return text;
  }

  test::ScratchFolder folder_;
  std::filesystem::path previous_;
  int exitCode_ = -1;
};

TEST_F(ConversionRunTest, AsksWithTheFixedRequest) {
  FakeDialogs dialogs(u"");
  ConversionRun::run(dialogs, {});
  ASSERT_EQ(dialogs.requests.size(), 1u);
  EXPECT_EQ(dialogs.requests[0].title, u"Open .json file - v.02");
  EXPECT_EQ(dialogs.requests[0].filter, u"json (*.json)|*.json");
  EXPECT_EQ(dialogs.requests[0].defaultPath, u"C:\\file.json");
}

TEST_F(ConversionRunTest, ConvertsAndSummarises) {
  test::writeBytes(folder_.file("sunset.json"), kSunset);
  EXPECT_EQ(runWith(folder_.text("sunset.json")),
            summary({u"sunset.inc created ", u"2 colors in gradient"}));
  EXPECT_EQ(exitCode_, 0);
  const std::string inc = test::readBytes(folder_.file("sunset.inc"));
  EXPECT_NE(inc.find("    [1.000   rgb <0.998, 0.503, 0.004>]\r\n   }\r\n"),
            std::string::npos);
  // Every file was released at the end.
  LineFile table = LineFile::openForReading(u"hex-bin.txt");
  EXPECT_TRUE(table.isOpen());
  table.close();
}

TEST_F(ConversionRunTest, CancelLoadsTheTableFirstAndWritesNothing) {
  EXPECT_EQ(runWith(u""), u"canceled");
  EXPECT_EQ(exitCode_, 0);
  EXPECT_FALSE(std::filesystem::exists(folder_.file(".inc")));
}

// Even on cancel the table is loaded first, and held until the run ends:
// while the notice is up, nobody else may open it.
TEST_F(ConversionRunTest, CancelStillLoadsAndHoldsTheTable) {
  struct Watching : FakeDialogs {
    Watching() : FakeDialogs(u"") {}
    bool showNotice(TextView title, TextView text, bool warning) override {
      tableHeld = LineFile::openForReading(u"hex-bin.txt").problem() == FileProblem::inUse;
      return FakeDialogs::showNotice(title, text, warning);
    }
    bool tableHeld = false;
  } dialogs;
  EXPECT_EQ(ConversionRun::run(dialogs, {}), 0);
  EXPECT_EQ(dialogs.notices, std::vector<Text>{u"canceled"});
  EXPECT_TRUE(dialogs.tableHeld);
  // Released at the end.
  LineFile table = LineFile::openForReading(u"hex-bin.txt");
  EXPECT_TRUE(table.isOpen());
  table.close();
}

TEST_F(ConversionRunTest, SummaryLinesForWhatWentWrong) {
  test::writeBytes(folder_.file("empty.json"), "{}\r\n");
  test::writeBytes(folder_.file("bad.json"), "    \"color\": \"#GG0000\",\r\n");
  test::writeBytes(folder_.file("lower.json"), "    \"color\": \"#ff8000\",\r\n");
  auto stops = [](int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "    \"color\": \"#FFFFFF\",\r\n";
    return text;
  };
  test::writeBytes(folder_.file("most.json"), stops(256));
  test::writeBytes(folder_.file("many.json"), stops(257));
  std::filesystem::create_directory(folder_.file("taken.inc"));
  test::writeBytes(folder_.file("taken.json"), kSunset);
  test::writeBytes(folder_.file("sunset-2 v.1.json"), kSunset);
  std::filesystem::create_directory(folder_.file("bad taken.inc"));
  test::writeBytes(folder_.file("bad taken.json"), "    \"color\": \"#GG0000\",\r\n");

  struct Case {
    const char* file;
    Text expected;
    int exitCode;
  };
  const Case cases[] = {
      {"empty.json",
       summary({u"empty.inc not created ", u"0 colors in gradient",
                u"no color stops found in empty.json"}),
       1},
      {"missing.json",
       summary({u"missing.inc not created ", u"0 colors in gradient",
                (u"cannot open " + folder_.text("missing.json") + u": not found").c_str()}),
       1},
      {"bad.json",
       summary({u"bad.inc created ", u"1 colors in gradient",
                u"1 color codes not found in hex-bin.txt"}),
       0},
      // A code in another case is found: nothing to report.
      {"lower.json", summary({u"lower.inc created ", u"1 colors in gradient"}), 0},
      {"most.json", summary({u"most.inc created ", u"256 colors in gradient"}), 0},
      {"many.json",
       summary({u"many.inc created ", u"257 colors in gradient",
                u"POV-Ray accepts at most 256 colors per color_map"}),
       0},
      {"taken.json",
       summary({u"taken.inc not created ", u"2 colors in gradient",
                (u"cannot write " + folder_.text("taken.inc") + u": not a regular file").c_str()}),
       1},
      // A failed write shows no warnings about what it would have held.
      {"bad taken.json",
       summary({u"bad taken.inc not created ", u"1 colors in gradient",
                (u"cannot write " + folder_.text("bad taken.inc") + u": not a regular file").c_str()}),
       1},
      {"sunset-2 v.1.json",
       summary({u"sunset-2 v.1.inc created ", u"2 colors in gradient",
                u"declared as sunset_2_v_1"}),
       0},
      {"a.js", summary({u".inc not created ", u"0 colors in gradient",
                        (u"cannot open " + folder_.text("a.js") + u": not found").c_str()}),
       1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(runWith(folder_.text(c.file)), c.expected) << c.file;
    EXPECT_EQ(exitCode_, c.exitCode) << c.file;
  }
  EXPECT_NE(test::readBytes(folder_.file("lower.inc")).find("rgb <0.998, 0.503, 0.004>"),
            std::string::npos);
}

TEST_F(ConversionRunTest, WithoutTheTableNothingIsWritten) {
  std::filesystem::remove(folder_.file("hex-bin.txt"));
  test::writeBytes(folder_.file("sunset.json"), kSunset);
  EXPECT_EQ(runWith(folder_.text("sunset.json")),
            summary({u"sunset.inc not created ", u"2 colors in gradient",
                     u"cannot open hex-bin.txt: not found in the working folder"}));
  EXPECT_EQ(exitCode_, 1);
  EXPECT_FALSE(std::filesystem::exists(folder_.file("sunset.inc")));
  EXPECT_EQ(runWith(u""), u"canceled");
  EXPECT_EQ(exitCode_, 0);
}

TEST_F(ConversionRunTest, TheTableItselfIsHeldWhileItIsChosen) {
  EXPECT_EQ(runWith(folder_.text("hex-bin.txt")),
            summary({u"hex-bi.inc not created ", u"0 colors in gradient",
                     (u"cannot open " + folder_.text("hex-bin.txt") +
                      u": in use by another program").c_str()}));
  EXPECT_EQ(exitCode_, 1);
}

// The include may never take the place of the files it is made from,
// whatever the links between them.
TEST_F(ConversionRunTest, TheIncludeNeverReplacesItsSources) {
  // Symbolic links need privileges on Windows: where none can be made, the
  // cases that need one are left out.
  std::error_code noLinks;
  test::writeBytes(folder_.file("soft.json"), kSunset);
  std::filesystem::create_symlink("soft.json", folder_.file("soft.inc"), noLinks);
  test::writeBytes(folder_.file("hard.json"), kSunset);
  std::filesystem::create_hard_link(folder_.file("hard.json"), folder_.file("hard.inc"));
  test::writeBytes(folder_.file(".inc"), kSunset);
  test::writeBytes(folder_.file("table.json"), kSunset);
  if (!noLinks) std::filesystem::create_symlink("hex-bin.txt", folder_.file("table.inc"));
  struct Case {
    const char* file;
    const char* include;
    const char16_t* reason;
    bool link;
  };
  const Case cases[] = {
      {"soft.json", "soft.inc", u": same file as the gradient", true},
      {"hard.json", "hard.inc", u": same file as the gradient", false},
      {".inc", ".inc", u": same file as the gradient", false},
      {"table.json", "table.inc", u": same file as hex-bin.txt", true},
  };
  for (const Case& c : cases) {
    if (c.link && noLinks) continue;
    const Text base = Text(c.include, c.include + std::strlen(c.include) - 4);
    EXPECT_EQ(runWith(folder_.text(c.file)),
              summary({(base + u".inc not created ").c_str(), u"2 colors in gradient",
                       (u"cannot write " + folder_.text(c.include) + c.reason).c_str()}))
        << c.file;
    EXPECT_EQ(exitCode_, 1);
  }
  EXPECT_EQ(test::readBytes(folder_.file("soft.json")), kSunset);
  EXPECT_EQ(test::readBytes(folder_.file("hard.json")), kSunset);
  EXPECT_EQ(test::readBytes(folder_.file(".inc")), kSunset);
  EXPECT_EQ(test::readBytes(folder_.file("hex-bin.txt")), test::standardTable());
}

// A notice that cannot be shown must not leave the run looking successful,
// whatever the notice said; what was written stays written.
TEST_F(ConversionRunTest, ANoticeThatCannotBeShownEndsWithExitCodeOne) {
  test::writeBytes(folder_.file("sunset.json"), kSunset);
  struct Case {
    const char* name;
    Text answer;
    bool shown;
    int exitCode;
    bool includeWritten;
  };
  const Case cases[] = {
      {"cancel, shown", u"", true, 0, false},
      {"cancel, lost", u"", false, 1, false},
      {"converted, shown", folder_.text("sunset.json"), true, 0, true},
      {"converted, lost", folder_.text("sunset.json"), false, 1, true},
      {"cannot open, lost", folder_.text("missing.json"), false, 1, false},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(folder_.file("sunset.inc"));
    FakeDialogs dialogs(c.answer);
    dialogs.noticeReachesUser = c.shown;
    EXPECT_EQ(ConversionRun::run(dialogs, {}), c.exitCode) << c.name;
    EXPECT_EQ(dialogs.notices.size(), 1u) << c.name;
    EXPECT_EQ(std::filesystem::exists(folder_.file("sunset.inc")),
              c.includeWritten)
        << c.name;
  }
}

// Files given as arguments: each converted as if chosen, nothing asked; the
// summaries one notice each or all in one, a failure among them shown as one.
TEST_F(ConversionRunTest, FilesAreConvertedInOrderWithoutAsking) {
  test::writeBytes(folder_.file("sunset.json"), kSunset);
  const std::vector<Text> files = {folder_.text("sunset.json"), folder_.text("missing.json")};
  const Text sunset = summary({u"sunset.inc created ", u"2 colors in gradient"});
  const Text missing = summary({u"missing.inc not created ", u"0 colors in gradient",
                                (u"cannot open " + folder_.text("missing.json") + u": not found").c_str()});

  FakeDialogs each(u"not asked");
  EXPECT_EQ(ConversionRun::convertFiles(each, files, false, {}), 1);
  EXPECT_TRUE(each.requests.empty());
  EXPECT_EQ(each.notices, (std::vector<Text>{sunset, missing}));
  EXPECT_EQ(each.warnings, (std::vector<bool>{false, true}));
  EXPECT_NE(test::readBytes(folder_.file("sunset.inc")).find("#declare sunset = "),
            std::string::npos);

  FakeDialogs one(u"not asked");
  EXPECT_EQ(ConversionRun::convertFiles(one, files, true, {}), 1);
  const Text banner = u"Tintgrove 0.2  orlavex 03.20.2026\r";
  EXPECT_EQ(one.notices, std::vector<Text>{sunset + u"\r" + missing.substr(banner.size())});
  EXPECT_EQ(one.warnings, std::vector<bool>{true});

  FakeDialogs good(u"not asked");
  EXPECT_EQ(ConversionRun::convertFiles(good, {files[0]}, true, {}), 0);
  EXPECT_EQ(good.warnings, std::vector<bool>{false});
}

}  // namespace
}  // namespace tintgrove
