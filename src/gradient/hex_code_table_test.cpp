#include "gradient/hex_code_table.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "test_support.h"

namespace tintgrove {
namespace {

using test::tableOf;

TEST(HexCodeTableTest, StandardTableGivesLineNumbers) {
  const HexCodeTable table = tableOf(test::standardTable());
  struct Case {
    const char16_t* code;
    std::int64_t line;
  };
  const Case cases[] = {
      {u"00", 1},   {u"80", 129}, {u"FF", 256}, {u"AB", 172},
      // No exact line: the same code in another case.
      {u"ff", 256}, {u"aB", 172},
      {u"G1", 0},   {u"", 0},     {u"F", 0},    {u"FFF", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(table.lineOf(c.code), c.line) << test::shown(c.code);
  }
}

TEST(HexCodeTableTest, MatchingRules) {
  std::string bytes = "  AA  \r\nBB\r\n\t CC\r\n\r\nAA\r\nD\r\n";
  for (int line = 7; line <= 256; ++line) bytes += "--\r\n";
  bytes += "EE\r\n";  // line 257: never consulted
  const HexCodeTable table = tableOf(bytes);
  struct Case {
    const char16_t* code;
    std::int64_t line;
  };
  const Case cases[] = {
      {u"AA", 5},        // the highest line wins
      {u"BB", 2},
      {u"CC", 0},        // a tab is not trimmed
      {u"", 4},          // an empty line matches the empty code
      {u"D", 6},
      {u"EE", 0},        // past line 256
      {u"--", 256},
      // No exact line: the highest that matches in another ASCII case.
      {u"aa", 5}, {u"bB", 2}, {u"d", 6}, {u"cc", 0}, {u"ee", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(table.lineOf(c.code), c.line) << test::shown(c.code);
  }
}

TEST(HexCodeTableTest, AnExactLineWinsOverAHigherOneInAnotherCase) {
  const HexCodeTable table = tableOf("ab\r\nAB\r\naB\r\n");
  EXPECT_EQ(table.lineOf(u"AB"), 2);
  EXPECT_EQ(table.lineOf(u"ab"), 1);
  EXPECT_EQ(table.lineOf(u"Ab"), 3);  // the highest of the three
}

TEST(HexCodeTableTest, ShortEmptyMissingAndLongLines) {
  EXPECT_EQ(tableOf("7F\r\n").lineOf(u"00"), 0);
  EXPECT_EQ(tableOf("").lineOf(u""), 0);
  // A line too long to be a code is never a match, however it ends.
  EXPECT_EQ(tableOf(std::string(100000, 'A') + "\r\nA\r\n").lineOf(u"A"), 2);
  EXPECT_EQ(tableOf("A" + std::string(100000, ' ') + "\r\n").lineOf(u"A"), 1);

  test::ScratchFolder folder;
  LineFile missing = LineFile::openForReading(folder.text("absent.txt"));
  const HexCodeTable::Load load = HexCodeTable::load(missing);
  EXPECT_EQ(load.problem, FileProblem::notFound);
  EXPECT_EQ(load.table.lineOf(u"00"), 0);
}

// The table reads from the file its caller keeps: the file stays held until
// the caller lets it go.
TEST(HexCodeTableTest, TheFileStaysWithItsCaller) {
  test::ScratchFolder folder;
  test::writeBytes(folder.file("hex-bin.txt"), test::standardTable());
  {
    LineFile file = LineFile::openForReading(folder.text("hex-bin.txt"));
    const HexCodeTable::Load load = HexCodeTable::load(file);
    EXPECT_EQ(load.problem, FileProblem::none);
    EXPECT_EQ(LineFile::openForReading(folder.text("hex-bin.txt")).problem(),
              FileProblem::inUse);
  }
  EXPECT_TRUE(LineFile::openForReading(folder.text("hex-bin.txt")).isOpen());
}

// The index must answer exactly as a plain scan of lines 1 to 256 of the
// bytes written would, exact case first.
TEST(HexCodeTableTest, IndexAgreesWithAPlainScan) {
  std::mt19937 random(7);
  const char16_t alphabet[] = {u'A', u'a', u'0', u' ', u'\u00E9', u'\t'};
  auto randomCode = [&] {
    Text code;
    const int length = static_cast<int>(random() % 4);
    for (int i = 0; i < length; ++i) code.push_back(alphabet[random() % 6]);
    return code;
  };
  auto trimmed = [](Text line) {
    while (!line.empty() && line.back() == u' ') line.pop_back();
    while (!line.empty() && line.front() == u' ') line.erase(line.begin());
    return line;
  };
  auto lower = [](Text text) {
    for (char16_t& c : text) {
      if (c == u'A') c = u'a';
    }
    return text;
  };
  for (int round = 0; round < 20; ++round) {
    std::vector<Text> lines;
    std::string bytes;
    const int count = static_cast<int>(random() % 300);
    for (int i = 0; i < count; ++i) {
      lines.push_back(randomCode());
      for (char16_t c : lines.back()) bytes.push_back(static_cast<char>(c));
      bytes += "\r\n";
    }
    const HexCodeTable table = tableOf(bytes);
    for (int probe = 0; probe < 200; ++probe) {
      const Text code(Slice(randomCode(), 1, 2));
      std::int64_t expected = 0, folded = 0;
      for (std::size_t k = 1; k <= 256 && k <= lines.size(); ++k) {
        const Text entry = trimmed(lines[k - 1]);
        if (entry == code) expected = static_cast<std::int64_t>(k);
        if (lower(entry) == lower(code)) folded = static_cast<std::int64_t>(k);
      }
      if (expected == 0) expected = folded;
      EXPECT_EQ(table.lineOf(code), expected) << test::shown(code);
    }
  }
}

}  // namespace
}  // namespace tintgrove
