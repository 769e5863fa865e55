#include "gradient/gradient_scanner.h"

#include <gtest/gtest.h>

#include <vector>

#include "test_support.h"
#include "textfile/line_file.h"

namespace tintgrove {
namespace {

struct Scanned {
  std::vector<Text> positions, colors;
  bool operator==(const Scanned&) const = default;
};

Scanned scanned(const Stops& stops) {
  Scanned out;
  for (const auto& p : stops.positionTexts) out.positions.emplace_back(p.view());
  for (const auto& c : stops.colorTexts) out.colors.emplace_back(c.view());
  return out;
}

// One line given in parts: `cut` characters, then the rest.
Scanned scanLine(TextView line, std::size_t cut) {
  GradientScanner::LineScan scan;
  cut = std::min(cut, line.size());
  scan.add(line.substr(0, cut));
  scan.add(line.substr(cut));
  Stops stops;
  scan.finish(stops);
  return scanned(stops);
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
      {u"    \"position\": 1 2,", {u"1 2"}, {}},
      // Only five characters are kept, whatever follows.
      {u"    \"position\": 0.333333,", {u"0.333"}, {}},
      {u"    \"position\": 0.3   x", {u"0.3  "}, {}},
      {u"    \"position\": ", {u""}, {}},
      {u"    \"position\":", {u""}, {}},
      {u"    \"position", {u""}, {}},
      {u"    \"color\": \"#1A2B3C\",", {}, {u"1A2B3C"}},
      {u"    \"color\": \"#1A2B3C\"", {}, {u"1A2B3C"}},
      {u"    \"color\": \"#1A2B\",", {}, {u"1A2B\""}},
      {u"    \"color\": \"#1A\"", {}, {u"1A"}},
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
    // However the line is cut into parts, the result is the same.
    for (std::size_t cut = 0; cut <= TextView(c.line).size(); ++cut) {
      EXPECT_EQ(scanLine(c.line, cut), (Scanned{c.positions, c.colors}))
          << test::shown(c.line) << " cut at " << cut;
    }
  }
}

// Past the columns that count, only where a position's value ends matters:
// a long line keeps nothing more.
TEST(GradientScannerTest, LongLinesKeepOnlyTheirPrefixes) {
  const Text value = u"    \"position\": 0.5" + Text(100000, u' ') + u"1,";
  EXPECT_EQ(scanLine(value, 30).positions, std::vector<Text>{u"0.5  "});
  const Text blanks = u"    \"position\": 0.5" + Text(100000, u' ') + u"},";
  EXPECT_EQ(scanLine(blanks, 30).positions, std::vector<Text>{u"0.5"});
  const Text color = u"    \"color\": \"#ABCDEF" + Text(100000, u'x');
  EXPECT_EQ(scanLine(color, 17).colors, std::vector<Text>{u"ABCDEF"});
}

TEST(GradientScannerTest, ScansAFileInOrderAndTellsWhenItCannotOpen) {
  test::ScratchFolder folder;
  test::writeBytes(folder.file("g.json"),
                   "{\r\n  \"stops\": [\r\n  {\r\n"
                   "    \"position\": 0,\r\n    \"color\": \"#000000\",\r\n"
                   "  },\r\n  {\r\n"
                   "    \"position\": 1,\r\n    \"color\": \"#FFFFFF\"\r\n"
                   "  }]\r\n}\r\n");
  const GradientScanner::Result result = GradientScanner::scan(folder.text("g.json"));
  EXPECT_EQ(result.problem, FileProblem::none);
  EXPECT_EQ(scanned(result.stops), (Scanned{{u"0", u"1"}, {u"000000", u"FFFFFF"}}));
  // The file was closed: it can be opened again.
  LineFile again = LineFile::openForReading(folder.text("g.json"));
  EXPECT_TRUE(again.isOpen());

  const GradientScanner::Result missing = GradientScanner::scan(folder.text("missing.json"));
  EXPECT_EQ(missing.problem, FileProblem::notFound);
  EXPECT_EQ(missing.stops.colorCount(), 0);
}

}  // namespace
}  // namespace tintgrove
