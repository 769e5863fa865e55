#include "gradient/hex_code_table.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "test_support.h"

namespace tintgrove {
namespace {

class HexCodeTableTest : public ::testing::Test {
 protected:
  void TearDown() override { LineFile::closeAll(); }
  // Each table holds its file until closeAll, so release the last one.
  HexCodeTable load(const std::string& bytes) {
    LineFile::closeAll();
    test::writeBytes(folder_.file("hex-bin.txt"), bytes);
    HexCodeTable table;
    EXPECT_EQ(table.load(folder_.text("hex-bin.txt")), FileProblem::none);
    return table;
  }
  test::ScratchFolder folder_;
};

TEST_F(HexCodeTableTest, StandardTableGivesLineNumbers) {
  const HexCodeTable table = load(test::standardTable());
  EXPECT_EQ(table.codeEntries().size(), 256);
  EXPECT_EQ(table.lookup(u"00"), u"1");
  EXPECT_EQ(table.lookup(u"80"), u"129");
  EXPECT_EQ(table.lookup(u"FF"), u"256");
  EXPECT_EQ(table.lookup(u"ff"), u"256");  // another case, when nothing else
  EXPECT_EQ(table.lookup(u"aB"), u"172");
  EXPECT_EQ(table.lookup(u"G1"), u"G1 ? ");
  EXPECT_EQ(table.lookup(u""), u" ? ");
}

TEST_F(HexCodeTableTest, MatchingRules) {
  std::string bytes = "  AA  \r\nBB\r\n\t CC\r\n\r\nAA\r\nD\r\n";
  for (int line = 7; line <= 256; ++line) bytes += "--\r\n";
  bytes += "EE\r\n";  // line 257: loaded, never consulted
  const HexCodeTable table = load(bytes);
  struct Case {
    const char16_t* code;
    const char16_t* result;
  };
  const Case cases[] = {
      {u"AA", u"5"},        // the highest line wins
      {u"BB", u"2"},
      {u"CC", u"CC ? "},    // a tab is not trimmed
      {u"\t CC", u"3"},
      {u"", u"4"},          // an empty line matches the empty code
      {u"D", u"6"},
      {u"EE", u"EE ? "},    // past line 256
      {u"--", u"256"},
      // No exact line: the highest that matches in another ASCII case.
      {u"aa", u"5"},
      {u"bB", u"2"},
      {u"d", u"6"},
      {u"cc", u"cc ? "},
      {u"ee", u"ee ? "},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(table.lookup(c.code), c.result) << test::shown(c.code);
  }
  EXPECT_EQ(table.codeEntries()[1], u"AA");
  EXPECT_EQ(table.codeEntries().size(), 257);
}

TEST_F(HexCodeTableTest, AnExactLineWinsOverAHigherOneInAnotherCase) {
  const HexCodeTable table = load("ab\r\nAB\r\naB\r\n");
  EXPECT_EQ(table.lookup(u"AB"), u"2");
  EXPECT_EQ(table.lookup(u"ab"), u"1");
  EXPECT_EQ(table.lookup(u"Ab"), u"3");  // the highest of the three
}

TEST_F(HexCodeTableTest, ShortEmptyAndMissingTables) {
  EXPECT_EQ(load("7F\r\n").lookup(u"00"), u"00 ? ");
  EXPECT_EQ(load("").lookup(u""), u" ? ");
  HexCodeTable missing;
  EXPECT_EQ(missing.load(folder_.text("absent.txt")), FileProblem::notFound);
  EXPECT_EQ(missing.lookup(u"00"), u"00 ? ");
}

TEST_F(HexCodeTableTest, StaysOpenUntilCloseAll) {
  const HexCodeTable table = load(test::standardTable());
  EXPECT_FALSE(LineFile::openForReading(folder_.text("hex-bin.txt")).isOpen());
  LineFile::closeAll();
  LineFile again = LineFile::openForReading(folder_.text("hex-bin.txt"));
  EXPECT_TRUE(again.isOpen());
  again.close();
}

// The index must answer exactly as a scan of lines 1 to 256 would.
TEST_F(HexCodeTableTest, IndexAgreesWithAPlainScan) {
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
    const HexCodeTable table = load(bytes);
    for (int probe = 0; probe < 200; ++probe) {
      const Text code = randomCode();
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
