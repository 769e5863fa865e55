#include "gradient/gradient_scanner.h"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "test_support.h"
#include "textfile/line_file.h"

namespace tintgrove {
namespace {

struct Scanned {
  std::vector<Text> positions, colors;
  bool operator==(const Scanned&) const = default;
};

Scanned scanned(const KeptTexts<char16_t>& kept) {
  Scanned out;
  for (const auto& p : kept.positions) out.positions.emplace_back(p.view());
  for (const auto& c : kept.colors) out.colors.emplace_back(c.view());
  return out;
}

// Bytes shown one character per byte, of the same value: what a byte is in
// the code page is not the scanner's business.
Scanned scanned(const KeptTexts<unsigned char>& kept) {
  Scanned out;
  for (const auto& p : kept.positions) out.positions.emplace_back(p.view().begin(), p.view().end());
  for (const auto& c : kept.colors) out.colors.emplace_back(c.view().begin(), c.view().end());
  return out;
}

// A scan fills one of the two lists, whichever the platform's code page
// calls for.
Scanned scanned(const Stops& stops) {
  Scanned text = scanned(stops.text), bytes = scanned(stops.bytes);
  return text.colors.empty() && text.positions.empty() ? bytes : text;
}

// One line given in parts: `cut` units, then the rest.
template <class Unit>
Scanned scanLineAs(std::span<const Unit> line, std::size_t cut) {
  GradientScanner::LineScan<Unit> scan;
  cut = std::min(cut, line.size());
  scan.add(line.first(cut));
  scan.add(line.subspan(cut));
  KeptTexts<Unit> kept;
  scan.finish(kept);
  return scanned(kept);
}

Scanned scanLine(TextView line, std::size_t cut) {
  return scanLineAs<char16_t>(line, cut);
}

// A line given whole, as characters or as bytes.
template <class Unit>
Scanned scanWholeAs(std::span<const Unit> line) {
  KeptTexts<Unit> kept;
  GradientScanner::LineScan<Unit>::scanLine(line, kept);
  return scanned(kept);
}

// The same line as the file's bytes, one byte per character below 100 (hex).
Scanned scanBytes(TextView line, std::size_t cut) {
  std::vector<unsigned char> bytes(line.begin(), line.end());
  return scanLineAs<unsigned char>(bytes, cut);
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
    // Whole or cut into parts anywhere, the result is the same, and so it is
    // on the bytes, where every character here is one byte.
    const TextView line = c.line;
    const std::vector<unsigned char> bytes(line.begin(), line.end());
    EXPECT_EQ(scanWholeAs<char16_t>(line), (Scanned{c.positions, c.colors}))
        << test::shown(c.line) << " whole";
    EXPECT_EQ(scanWholeAs<unsigned char>(bytes), (Scanned{c.positions, c.colors}))
        << test::shown(c.line) << " whole, as bytes";
    for (std::size_t cut = 0; cut <= TextView(c.line).size(); ++cut) {
      EXPECT_EQ(scanLine(c.line, cut), (Scanned{c.positions, c.colors}))
          << test::shown(c.line) << " cut at " << cut;
      EXPECT_EQ(scanBytes(c.line, cut), (Scanned{c.positions, c.colors}))
          << test::shown(c.line) << " as bytes, cut at " << cut;
    }
  }
}

// On the bytes, the columns are tested without the code page: a byte from
// 80 (hex) up is never a key character, and the kept ones stay as they are.
TEST(GradientScannerTest, BytesFromTheHighHalfAreKeptAsTheyAre) {
  struct Case {
    std::string bytes;
    std::vector<Text> positions, colors;  // one character per byte
  };
  const Case cases[] = {
      {"    \"position\": 0.5\x80,", {u"0.5\x80"}, {}},
      {"    \"position\": \xE9\xA0\x9F\xFF\x81\x8D,", {u"\xE9\xA0\x9F\xFF\x81"}, {}},
      {"    \"color\": \"#\x80\x8A\xC0\xFF\x9E\x90\",", {}, {u"\x80\x8A\xC0\xFF\x9E\x90"}},
      // A position's value may end in a byte that is no blank in this code
      // page, whatever it is in others.
      {"    \"position\": 1\xA0 ,", {u"1\xA0"}, {}},
      {"    \"position\": 1\x85,", {u"1\x85"}, {}},
      // High bytes in the key columns: no key.
      {"    \"positio\xEE\": 0.5,", {}, {}},
      {"    \"\xF0osition\": 0.5,", {}, {}},
      {"    \"color\"\xA0 \xA3#123456\",", {}, {u"123456"}},
      {"    \"color\": \"\xA3" "123456\",", {}, {}},
  };
  for (const Case& c : cases) {
    const std::vector<unsigned char> bytes(c.bytes.begin(), c.bytes.end());
    EXPECT_EQ(scanWholeAs<unsigned char>(bytes), (Scanned{c.positions, c.colors}))
        << c.bytes << " whole";
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
      EXPECT_EQ(scanLineAs<unsigned char>(bytes, cut), (Scanned{c.positions, c.colors}))
          << c.bytes << " cut at " << cut;
    }
  }
}

// Past the columns that count, only where a position's value ends matters:
// a long line keeps nothing more.
TEST(GradientScannerTest, LongLinesKeepOnlyTheirPrefixes) {
  const Text value = u"    \"position\": 0.5" + Text(100000, u' ') + u"1,";
  const Text blanks = u"    \"position\": 0.5" + Text(100000, u' ') + u"},";
  const Text color = u"    \"color\": \"#ABCDEF" + Text(100000, u'x');
  for (const auto scan : {scanLine, scanBytes}) {
    EXPECT_EQ(scan(value, 30).positions, std::vector<Text>{u"0.5  "});
    EXPECT_EQ(scan(blanks, 30).positions, std::vector<Text>{u"0.5"});
    EXPECT_EQ(scan(color, 17).colors, std::vector<Text>{u"ABCDEF"});
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

// The 4096-byte refills cut lines anywhere, a CR LF among them: every line
// of two stops is put across the cut, at each of its bytes, with each kind
// of terminator.
TEST(GradientScannerTest, LinesAcrossRefillsAreScannedWhole) {
  test::ScratchFolder folder;
  const std::string terminators[] = {"\r\n", "\n", "\r", std::string(1, '\0')};
  for (const std::string& end : terminators) {
    const std::string stops = "    \"position\": 0.25," + end +
                              "    \"color\": \"#1A2B3C\"," + end + "    }," + end +
                              "    \"position\": 1" + end +
                              "    \"color\": \"#FFFFFF\"" + end;
    for (std::size_t filler = 4096 - stops.size(); filler < 4096; ++filler) {
      test::writeBytes(folder.file("g.json"), std::string(filler, 'x') + end + stops);
      const GradientScanner::Result result = GradientScanner::scan(folder.text("g.json"));
      EXPECT_EQ(scanned(result.stops), (Scanned{{u"0.25", u"1"}, {u"1A2B3C", u"FFFFFF"}}))
          << "filler " << filler << ", terminator " << int(end[0]);
    }
  }
}

}  // namespace
}  // namespace tintgrove
