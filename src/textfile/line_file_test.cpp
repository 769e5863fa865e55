#include "textfile/line_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <type_traits>
#include <string>
#include <vector>

#include "test_support.h"

namespace tintgrove {
namespace {

using test::ScratchFolder;

std::vector<Text> readAllLines(LineFile& file) {
  std::vector<Text> lines;
  while (!file.atEnd()) lines.push_back(file.readLine());
  return lines;
}

// A file is its only owner: a copy could close or use it behind the other's
// back.
static_assert(!std::is_copy_constructible_v<LineFile>);
static_assert(!std::is_copy_assignable_v<LineFile>);
static_assert(std::is_nothrow_move_constructible_v<LineFile>);

class BufferSize : public ::testing::TestWithParam<std::size_t> {
 protected:
  LineFile open(const char* name) {
    return LineFile::openForReading(folder_.text(name), GetParam());
  }
  LineFile create(const char* name) {
    return LineFile::createForWriting(folder_.text(name), GetParam());
  }
  ScratchFolder folder_;
};

// The reading rules must not depend on where refills fall, nor on whether the
// file has a buffer at all (0: the unbuffered fallback).
INSTANTIATE_TEST_SUITE_P(Reading, BufferSize,
                         ::testing::Values(LineFile::fileBufferSize, 1, 2, 3,
                                           0));

TEST_P(BufferSize, LineEndsAsTheTableGivesThem) {
  struct Case {
    std::string bytes;
    std::vector<Text> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"A\nB", {u"A", u"B"}},
      {"A\r\n", {u"A"}},
      {"\n", {u""}},
      {"A\rB", {u"A", u"B"}},
      {"A\r\r\nB", {u"A", u"", u"B"}},
      {"A\n\rB", {u"A", u"", u"B"}},
      {"A\n\nB", {u"A", u"", u"B"}},
      {std::string("A\0B\n", 4), {u"A", u"B"}},
      {std::string("\0A\n", 3), {u"", u"A"}},
      {"A\r", {u"A"}},
      {"A\r\r", {u"A", u""}},
      {"\xEF\xBB\xBFkey", {u"\u00EF\u00BB\u00BFkey"}},
  };
  for (const Case& c : cases) {
    test::writeBytes(folder_.file("in.txt"), c.bytes);
    LineFile file = open("in.txt");
    ASSERT_TRUE(file.isOpen());
    EXPECT_EQ(readAllLines(file), c.lines) << "bytes: " << c.bytes;
    EXPECT_EQ(file.readLine(), u"") << "past the end";
    file.close();
  }
}

// Bytes come as they are, however the refills cut them, line by line or all
// at once: high bytes are not decoded, and a CR ending one refill keeps the
// bytes before it intact while the LF starting the next is skipped.
class Gather final : public LineSink {
 public:
  void takeLine(ByteView line) override {
    EXPECT_TRUE(line_.empty()) << "a whole line inside another";
    lines.emplace_back(line.begin(), line.end());
  }
  void takePart(ByteView part, bool last) override {
    EXPECT_FALSE(part.empty() && !last) << "an empty part inside a line";
    line_.append(part.begin(), part.end());
    if (last) {
      lines.push_back(line_);
      line_.clear();
    }
  }
  std::vector<std::string> lines;

 private:
  std::string line_;
};

TEST_P(BufferSize, LineBytesAreTheFileBytes) {
  struct Case {
    std::string bytes;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", {}},
      {std::string("ab\x80\r\n\xFF\0cd\re\r\n\r\nf\x9D\n", 18),
       {"ab\x80", "\xFF", "cd", "e", "", "f\x9D"}},
      {"A\r\r\nB\r", {"A", "", "B"}},
      {"A\n\rB\r\r", {"A", "", "B", ""}},
      {std::string("\0\0A", 3), {"", "", "A"}},
      {std::string(4095, 'x') + "\r\nyz\r\n", {std::string(4095, 'x'), "yz"}},
      {std::string(4094, 'x') + "\r\r\n", {std::string(4094, 'x'), ""}},
      {std::string(5000, 'x') + "\n" + std::string(3, 'y'),
       {std::string(5000, 'x'), "yyy"}},
  };
  for (const Case& c : cases) {
    test::writeBytes(folder_.file("in.txt"), c.bytes);
    LineFile file = open("in.txt");
    std::vector<std::string> lines;
    ByteView part;
    while (!file.atEnd()) {
      std::string line;
      bool last = false;
      while (!last) {
        last = file.readLineBytes(part);
        line.append(part.begin(), part.end());
      }
      lines.push_back(line);
    }
    EXPECT_EQ(lines, c.lines) << "line by line: " << c.bytes.substr(0, 40);
    file.close();

    LineFile again = open("in.txt");
    Gather all;
    again.readAllLineBytes(all);
    EXPECT_EQ(all.lines, c.lines) << "all at once: " << c.bytes.substr(0, 40);
    EXPECT_TRUE(again.atEnd());
  }
}

TEST_P(BufferSize, LongLinesComeBackWhole) {
  const std::string longLine(10000, 'x');
  test::writeBytes(folder_.file("in.txt"), longLine + "\r\n" + longLine);
  LineFile file = open("in.txt");
  const auto lines = readAllLines(file);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], Text(10000, u'x'));
  EXPECT_EQ(lines[1], Text(10000, u'x'));
}

// Lines are searched for several bytes at a time: a terminator at every
// offset, with control bytes that are not terminators (tab, 01, 0B, 0C, 0E)
// right beside it, must end the line exactly there.
TEST_P(BufferSize, TerminatorsAtEveryOffsetAmongControlBytes) {
  const std::string fillers = "a\t\x01\x0B\x0C\x0E\x7F\x80\xFF";
  const std::string terminators[] = {"\n", "\r\n", "\r", std::string(1, '\0')};
  std::string bytes;
  std::vector<Text> expected;
  for (std::size_t length = 0; length < 20; ++length) {
    for (const std::string& terminator : terminators) {
      std::string line;
      for (std::size_t i = 0; i < length; ++i) line += fillers[(i + length) % fillers.size()];
      bytes += line + terminator;
      Text text;
      for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        text += byte == 0x80 ? u'\u20AC' : static_cast<char16_t>(byte);
      }
      expected.push_back(text);
    }
  }
  test::writeBytes(folder_.file("in.txt"), bytes);
  LineFile file = open("in.txt");
  EXPECT_EQ(readAllLines(file), expected);
}

TEST_P(BufferSize, WritesLinesWithCrLf) {
  LineFile file = create("out.txt");
  file.writeLine(u"");
  file.writeLine(u"AB");
  file.writeLine(Text(5000, u'z'));
  EXPECT_TRUE(file.close());
  EXPECT_EQ(test::readBytes(folder_.file("out.txt")),
            "\r\nAB\r\n" + std::string(5000, 'z') + "\r\n");
}

TEST(LineFileTest, CrLfSplitAcrossTwoRefillsIsOneTerminator) {
  ScratchFolder folder;
  // The CR is the last byte of the first 4096, the LF the first of the next.
  const std::string first(LineFile::fileBufferSize - 1, 'a');
  test::writeBytes(folder.file("in.txt"), first + "\r\nB");
  LineFile file = LineFile::openForReading(folder.text("in.txt"));
  EXPECT_EQ(readAllLines(file), (std::vector<Text>{Text(first.size(), u'a'), u"B"}));
  file.close();
}

TEST(LineFileTest, PendingBytesWaitUntil4096WouldBeReached) {
  ScratchFolder folder;
  const auto out = folder.file("out.txt");
  LineFile file = LineFile::createForWriting(test::pathText(out));
  // Until the close, the bytes go to the one new file in the folder.
  const auto written = [&] {
    const auto names = test::fileNames(folder.path());
    return names.size() == 1 ? std::filesystem::file_size(folder.file(names[0]))
                             : std::uintmax_t{0};
  };
  file.writeLine(Text(4093, u'a'));  // 4093 + CR LF: 4095 pending
  EXPECT_EQ(written(), 0u);
  file.writeLine(u"b");  // would make 4096: the 4095 go first
  EXPECT_EQ(written(), 4095u);
  file.writeLine(Text(4096, u'c'));  // a piece this large goes straight out
  EXPECT_EQ(written(), 4095u + 3 + 4096);
  EXPECT_TRUE(file.close());
  EXPECT_EQ(std::filesystem::file_size(out), 4095u + 3 + 4096 + 2);
  EXPECT_EQ(test::fileNames(folder.path()), std::vector<std::string>{"out.txt"});
}

TEST(LineFileTest, CreatingEmptiesAnExistingFile) {
  ScratchFolder folder;
  test::writeBytes(folder.file("out.txt"), "old content");
  LineFile file = LineFile::createForWriting(folder.text("out.txt"));
  ASSERT_TRUE(file.isOpen());
  EXPECT_TRUE(file.close());
  EXPECT_EQ(test::readBytes(folder.file("out.txt")), "");
}

// Only an explicit close puts a new file in place: one that goes out of
// scope unclosed, as when a write stops half way, leaves the old file.
TEST(LineFileTest, AFileWrittenButNotClosedLeavesTheOldOne) {
  ScratchFolder folder;
  test::writeBytes(folder.file("out.txt"), "old\r\n");
  {
    LineFile file = LineFile::createForWriting(folder.text("out.txt"));
    file.writeLine(u"new");
    LineFile moved = std::move(file);
    EXPECT_FALSE(file.isOpen());
    moved.writeLine(u"more");
  }
  EXPECT_EQ(test::readBytes(folder.file("out.txt")), "old\r\n");
  EXPECT_EQ(test::fileNames(folder.path()), std::vector<std::string>{"out.txt"});
  {
    LineFile reader = LineFile::openForReading(folder.text("out.txt"));
    ASSERT_TRUE(reader.isOpen());
  }
  // The reader went out of scope: the file is free again.
  LineFile again = LineFile::openForReading(folder.text("out.txt"));
  EXPECT_TRUE(again.isOpen());
}

// A line comes in parts of at most one refill each, which put together give
// the line; the last part says so.
TEST_P(BufferSize, LinesComeInPartsOfOneRefillAtMost) {
  const std::string longLine(10000, 'x');
  test::writeBytes(folder_.file("in.txt"), "ab\r\n" + longLine + "\r\n\r\nz");
  LineFile file = open("in.txt");
  std::vector<Text> lines;
  Text part;
  while (!file.atEnd()) {
    Text line;
    bool last = false;
    while (!last) {
      last = file.readLinePart(part);
      EXPECT_LE(part.size(), std::max<std::size_t>(GetParam(), 1));
      line += part;
    }
    lines.push_back(line);
  }
  EXPECT_EQ(lines, (std::vector<Text>{u"ab", Text(10000, u'x'), u"", u"z"}));
}

TEST(LineFileTest, AFileOpenHereCannotBeOpenedAgain) {
  ScratchFolder folder;
  test::writeBytes(folder.file("table.txt"), "precious\r\n");
  LineFile held = LineFile::openForReading(folder.text("table.txt"));
  ASSERT_TRUE(held.isOpen());
  EXPECT_FALSE(LineFile::openForReading(folder.text("table.txt")).isOpen());
  EXPECT_FALSE(LineFile::createForWriting(folder.text("table.txt")).isOpen());
  held.close();
  // The failed create left the content alone, and the file is free again.
  EXPECT_EQ(test::readBytes(folder.file("table.txt")), "precious\r\n");
  LineFile again = LineFile::openForReading(folder.text("table.txt"));
  EXPECT_TRUE(again.isOpen());
  again.close();

  LineFile writing = LineFile::createForWriting(folder.text("out.txt"));
  EXPECT_FALSE(LineFile::openForReading(folder.text("out.txt")).isOpen());
  writing.close();
}

TEST(LineFileTest, NoFileReadsAsEmptyAndSwallowsWrites) {
  ScratchFolder folder;
  LineFile missing = LineFile::openForReading(folder.text("missing.txt"));
  EXPECT_FALSE(missing.isOpen());
  EXPECT_TRUE(missing.atEnd());
  EXPECT_EQ(missing.readLine(), u"");
  missing.writeLine(u"lost");
  EXPECT_FALSE(missing.close());

  LineFile uncreatable =
      LineFile::createForWriting(folder.text("no-such-folder/out.txt"));
  EXPECT_FALSE(uncreatable.isOpen());
  uncreatable.writeLine(u"lost");
  EXPECT_FALSE(uncreatable.writesSucceeded());
  EXPECT_FALSE(uncreatable.close());
}

TEST(LineFileTest, EveryByteSurvivesTheCodePage) {
  ScratchFolder folder;
  std::string all;
  for (int b = 1; b < 256; ++b) {
    if (b != 10 && b != 13) all.push_back(static_cast<char>(b));
  }
  test::writeBytes(folder.file("in.txt"), all);
  LineFile in = LineFile::openForReading(folder.text("in.txt"));
  const Text line = in.readLine();
  in.close();
  EXPECT_EQ(line.size(), all.size());
  EXPECT_EQ(line[0x80 - 3], u'\u20AC');  // euro sign
  EXPECT_EQ(line[0xE9 - 3], u'\u00E9');
  LineFile out = LineFile::createForWriting(folder.text("out.txt"));
  out.writeLine(line);
  out.close();
  EXPECT_EQ(test::readBytes(folder.file("out.txt")), all + "\r\n");
}

TEST(LineFileTest, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  ScratchFolder folder;
  LineFile out = LineFile::createForWriting(folder.text("out.txt"));
  out.writeLine(u"a\u4E2Db");
  out.close();
  EXPECT_EQ(test::readBytes(folder.file("out.txt")), "a?b\r\n");
}

}  // namespace
}  // namespace tintgrove
