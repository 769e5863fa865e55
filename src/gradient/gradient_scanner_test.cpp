#include "gradient/gradient_scanner.h"

#include <gtest/gtest.h>

#include <vector>

#include "test_support.h"
#include "textfile/line_file.h"

namespace tintgrove {
namespace {

struct Scanned {
  std::vector<Text> positions, colors;
};

Scanned scanLines(std::initializer_list<const char16_t*> lines) {
  RunState state;
  for (const char16_t* line : lines) GradientScanner::scanLine(line, state);
  Scanned scanned;
  for (std::int64_t i = 1; i <= state.positionCount(); ++i) {
    scanned.positions.emplace_back(state.positionTexts[i]);
  }
  for (std::int64_t i = 1; i <= state.colorCount(); ++i) {
    scanned.colors.emplace_back(state.colorTexts[i]);
  }
  return scanned;
}

TEST(GradientScannerTest, RecognisesLinesByTheirColumns) {
  struct Case {
    const char16_t* line;
    std::vector<Text> positions, colors;
  };
  const Case cases[] = {
      {u"    \"position\": 0.25,", {u"0.25"}, {}},
      // The last member of an object keeps its last digit.
      {u"    \"position\": 0.25", {u"0.25"}, {}},
      {u"    \"position\": 1", {u"1"}, {}},
      // What may follow a number goes: blanks, commas, closing brackets.
      {u"    \"position\": 0.25}", {u"0.25"}, {}},
      {u"    \"position\": 0.5 ,", {u"0.5"}, {}},
      {u"    \"position\": 0.75\t}],", {u"0.75"}, {}},
      {u"    \"position\": 1 , ", {u"1"}, {}},
      {u"    \"position\": 0.5x,", {u"0.5x"}, {}},
      {u"    \"position\": ", {u""}, {}},
      {u"    \"position\":", {u""}, {}},
      {u"    \"position", {u""}, {}},
      {u"    \"color\": \"#1A2B3C\",", {}, {u"1A2B3C\""}},
      {u"    \"color\": \"#1A2B3C\"", {}, {u"1A2B3C"}},
      {u"    \"color\": \"#", {}, {u""}},
      {u"    \"color\": \"#A", {}, {u""}},
      // Not recognised: case, tab, other indentation, too short.
      {u"    \"Position\": 0.25,", {}, {}},
      {u"\t\"position\": 0.25,", {}, {}},
      {u"      \"position\": 0.25,", {}, {}},
      {u"  \"color\": \"#1A2B3C\",", {}, {}},
      {u"    \"posit", {}, {}},
      {u"", {}, {}},
      // One line can be both.
      {u"    \"position\"#XYZ\",", {u"YZ\""}, {u"XYZ\""}},
      // A byte-order mark shifts the columns of the first line.
      {u"\u00EF\u00BB\u00BF    \"position\": 0.5,", {}, {}},
  };
  for (const Case& c : cases) {
    const Scanned scanned = scanLines({c.line});
    EXPECT_EQ(scanned.positions, c.positions) << test::shown(c.line);
    EXPECT_EQ(scanned.colors, c.colors) << test::shown(c.line);
  }
}

TEST(GradientScannerTest, ScansAFileInOrderAndTellsWhenItCannotOpen) {
  test::ScratchFolder folder;
  test::writeBytes(folder.file("g.json"),
                   "{\r\n  \"stops\": [\r\n  {\r\n"
                   "    \"position\": 0,\r\n    \"color\": \"#000000\",\r\n"
                   "  },\r\n  {\r\n"
                   "    \"position\": 1,\r\n    \"color\": \"#FFFFFF\"\r\n"
                   "  }]\r\n}\r\n");
  RunState state;
  EXPECT_EQ(GradientScanner::scan(folder.text("g.json"), state), FileProblem::none);
  ASSERT_EQ(state.positionCount(), 2);
  ASSERT_EQ(state.colorCount(), 2);
  EXPECT_EQ(state.positionTexts[1], u"0");
  EXPECT_EQ(state.colorTexts[1], u"000000\"");
  EXPECT_EQ(state.colorTexts[2], u"FFFFFF");
  // The file was closed: it can be opened again.
  LineFile again = LineFile::openForReading(folder.text("g.json"));
  EXPECT_TRUE(again.isOpen());
  again.close();

  RunState missing;
  EXPECT_EQ(GradientScanner::scan(folder.text("missing.json"), missing),
            FileProblem::notFound);
  EXPECT_EQ(missing.colorCount(), 0);
}

}  // namespace
}  // namespace tintgrove
