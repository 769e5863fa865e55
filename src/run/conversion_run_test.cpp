#include "run/conversion_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "test_support.h"
#include "textfile/line_file.h"

namespace tintgrove {
namespace {

class FakeDialogs : public Dialogs {
 public:
  explicit FakeDialogs(Text answer) : answer_(std::move(answer)) {}
  Text askForFile(const FileRequest& request) override {
    requests.push_back(request);
    return answer_;
  }
  bool showNotice(TextView title, TextView text) override {
    titles.emplace_back(title);
    notices.emplace_back(text);
    return noticeReachesUser;
  }
  bool noticeReachesUser = true;
  std::vector<FileRequest> requests;
  std::vector<Text> titles, notices;

 private:
  Text answer_;
};

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
  void TearDown() override {
    LineFile::closeAll();
    std::filesystem::current_path(previous_);
  }
  // Runs once with the dialog answering `answer`; the one notice it showed.
  Text runWith(const Text& answer) {
    FakeDialogs dialogs(answer);
    RunState state;
    exitCode_ = ConversionRun::run(dialogs, state);
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
  RunState state;
  ConversionRun::run(dialogs, state);
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

TEST_F(ConversionRunTest, SummaryLinesForWhatWentWrong) {
  test::writeBytes(folder_.file("empty.json"), "{}\r\n");
  test::writeBytes(folder_.file("bad.json"), "    \"color\": \"#GG0000\",\r\n");
  std::string many;
  for (int i = 0; i < 300; ++i) many += "    \"color\": \"#FFFFFF\",\r\n";
  test::writeBytes(folder_.file("many.json"), many);
  std::filesystem::create_directory(folder_.file("taken.inc"));
  test::writeBytes(folder_.file("taken.json"), kSunset);

  struct Case {
    const char* file;
    Text expected;
    int exitCode;
  };
  const Case cases[] = {
      {"empty.json", summary({u"empty.inc not created ", u"0 colors in gradient"}), 0},
      {"missing.json",
       summary({u"missing.inc not created ", u"0 colors in gradient",
                (u"cannot open " + folder_.text("missing.json")).c_str()}),
       1},
      {"bad.json",
       summary({u"bad.inc created ", u"1 colors in gradient",
                u"1 color codes not found in hex-bin.txt"}),
       0},
      {"many.json",
       summary({u"many.inc created ", u"300 colors in gradient",
                u"POV-Ray reads at most 256 colors per color_map"}),
       0},
      {"taken.json",
       summary({u"taken.inc not created ", u"2 colors in gradient",
                (u"cannot write " + folder_.text("taken.inc")).c_str()}),
       1},
      {"a.js", summary({u".inc not created ", u"0 colors in gradient",
                        (u"cannot open " + folder_.text("a.js")).c_str()}),
       1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(runWith(folder_.text(c.file)), c.expected) << c.file;
    EXPECT_EQ(exitCode_, c.exitCode) << c.file;
  }
}

TEST_F(ConversionRunTest, WithoutTheTableNothingIsWritten) {
  std::filesystem::remove(folder_.file("hex-bin.txt"));
  test::writeBytes(folder_.file("sunset.json"), kSunset);
  EXPECT_EQ(runWith(folder_.text("sunset.json")),
            summary({u"sunset.inc not created ", u"2 colors in gradient",
                     u"cannot open hex-bin.txt"}));
  EXPECT_EQ(exitCode_, 1);
  EXPECT_FALSE(std::filesystem::exists(folder_.file("sunset.inc")));
  EXPECT_EQ(runWith(u""), u"canceled");
  EXPECT_EQ(exitCode_, 0);
}

TEST_F(ConversionRunTest, TheTableItselfIsHeldWhileItIsChosen) {
  EXPECT_EQ(runWith(folder_.text("hex-bin.txt")),
            summary({u"hex-bi.inc not created ", u"0 colors in gradient",
                     (u"cannot open " + folder_.text("hex-bin.txt")).c_str()}));
  EXPECT_EQ(exitCode_, 1);
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
    RunState state;
    EXPECT_EQ(ConversionRun::run(dialogs, state), c.exitCode) << c.name;
    EXPECT_EQ(dialogs.notices.size(), 1u) << c.name;
    EXPECT_EQ(std::filesystem::exists(folder_.file("sunset.inc")),
              c.includeWritten)
        << c.name;
  }
}

TEST(DeriveNamesTest, SplitsAtTheLastSeparator) {
  struct Case {
    const char16_t* chosen;
    const char16_t *folder, *file, *base, *include;
  };
  const Case cases[] = {
      {u"D:\\art\\sunset.json", u"D:\\art\\", u"sunset.json", u"sunset", u"D:\\art\\sunset.inc"},
      {u"/home/a/b.c/sunset.json", u"/home/a/b.c/", u"sunset.json", u"sunset", u"/home/a/b.c/sunset.inc"},
      {u"/x/colors.txt", u"/x/", u"colors.txt", u"color", u"/x/color.inc"},
      {u"/x/a.js", u"/x/", u"a.js", u"", u"/x/.inc"},
      {u"plain.json", u"", u"plain.json", u"plain", u"plain.inc"},
      {u"", u"", u"", u"", u".inc"},
  };
  for (const Case& c : cases) {
    RunState state;
    state.chosenPath = c.chosen;
    ConversionRun::deriveNames(state);
    EXPECT_EQ(state.folderPart, c.folder);
    EXPECT_EQ(state.filePart, c.file);
    EXPECT_EQ(state.baseName, c.base);
    EXPECT_EQ(state.includePath, c.include);
  }
}

}  // namespace
}  // namespace tintgrove
