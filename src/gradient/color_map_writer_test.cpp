#include "gradient/color_map_writer.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "test_support.h"

namespace tintgrove {
namespace {

using ColorMapWriter::Outcome;

// The kept texts come as characters or, where bytes are characters, as the
// file's bytes: every test runs with both, the texts given as characters
// below 100 (hex), one byte each.
enum class Kept { asText, asBytes };

class WriteTest : public ::testing::TestWithParam<Kept> {
 protected:
  Outcome write() {
    return ColorMapWriter::write(includePath_, u"sunset", stops_, table_);
  }
  void position(TextView text) {
    if (GetParam() == Kept::asText) {
      stops_.text.positions.emplace_back(text);
    } else {
      stops_.bytes.positions.emplace_back(bytesOf(text));
    }
  }
  void color(TextView text) {
    if (GetParam() == Kept::asText) {
      stops_.text.colors.emplace_back(text);
    } else {
      stops_.bytes.colors.emplace_back(bytesOf(text));
    }
  }
  std::string output() { return test::readBytes(folder_.file("sunset.inc")); }

  test::ScratchFolder folder_;
  Text includePath_ = folder_.text("sunset.inc");
  HexCodeTable table_ = test::tableOf(test::standardTable());
  Stops stops_;

 private:
  ByteView bytesOf(TextView text) {
    held_.emplace_back(text.begin(), text.end());
    return held_.back();
  }
  std::deque<std::vector<unsigned char>> held_;
};

INSTANTIATE_TEST_SUITE_P(Kept, WriteTest, ::testing::Values(Kept::asText, Kept::asBytes),
                         [](const auto& info) {
                           return info.param == Kept::asText ? "asText" : "asBytes";
                         });

TEST_P(WriteTest, WholeFile) {
  position(u"0.0");
  position(u"1.0");
  color(u"000000");
  color(u"FF8000");
  const Outcome outcome = write();
  EXPECT_TRUE(outcome.written);
  EXPECT_EQ(outcome.codesNotFound, 0);
  EXPECT_EQ(output(),
            "//   converted to POV color_map from sunset.json\r\n"
            "//   position counts: 2\r\n"
            "//   orlavex 03.20.26\r\n"
            "//  Using Huebrook for the .json file - Nice Gradient Editor \r\n"
            "\r\n"
            "#declare sunset = \r\n"
            "   color_map {\r\n"
            "    [0.000   rgb <0.004, 0.004, 0.004>]\r\n"
            "    [1.000   rgb <0.998, 0.503, 0.004>]\r\n"
            "   }\r\n");
}

TEST_P(WriteTest, MoreColoursThanPositionsAndCodesNotFound) {
  position(u"0.5");
  color(u"FF\"");    // short: green is a quote, blue empty
  color(u"4gzz7F");  // 4g read as 4, zz as 0
  const Outcome outcome = write();
  EXPECT_EQ(outcome.codesNotFound, 4);
  const std::string text = output();
  EXPECT_NE(text.find("    [0.500   rgb <0.998, 0.000, 0.000>]\r\n"
                      "    [00   rgb <0.016, 0.000, 0.499>]\r\n"),
            std::string::npos)
      << text;
}

// A code that was not found reads as its leading decimal number, rounded to
// the nearest integer with ties to even: ".5" gives 0 and ".9" gives 1.
TEST_P(WriteTest, FractionsOfCodesNotFoundRoundTiesToEven) {
  position(u"0.5");
  color(u".5.9FF");
  const Outcome outcome = write();
  EXPECT_EQ(outcome.codesNotFound, 2);
  EXPECT_NE(output().find("    [0.500   rgb <0.000, 0.004, 0.998>]\r\n"), std::string::npos)
      << output();
}

TEST_P(WriteTest, SurplusPositionsAreCountedButNotWritten) {
  for (const char16_t* p : {u"0", u"0.5", u"1"}) position(p);
  color(u"808080");
  EXPECT_TRUE(write().written);
  const std::string text = output();
  EXPECT_NE(text.find("//   position counts: 3\r\n"), std::string::npos);
  EXPECT_NE(text.find("   color_map {\r\n    [0.000   rgb <0.503, 0.503, 0.503>]\r\n   }\r\n"),
            std::string::npos)
      << text;
}

TEST_P(WriteTest, ReplacesAnExistingFileAndReportsWhatCannotBeWritten) {
  test::writeBytes(folder_.file("sunset.inc"), std::string(10000, '#'));
  color(u"000000");
  EXPECT_TRUE(write().written);
  EXPECT_EQ(output().rfind("//   converted", 0), 0u);
  EXPECT_EQ(output().find("##"), std::string::npos);

  includePath_ = folder_.text("");  // a folder cannot be written
  EXPECT_FALSE(write().written);
}

// Characters from the high half of the code page: a position keeps them as
// they are, and a code made of them is found where the table has it, or
// reads as no number.
TEST_P(WriteTest, HighCharactersInPositionsAndCodes) {
  table_ = test::tableOf("\xE9\r\n\x80" "A\r\nFF\r\n");
  position(u"\u00E9.\u00FF");
  color(u"\u20AC" "AFF\u00E9");
  position(u"1");
  color(u"\u00FF\u00FFxx\u00C0");
  if (GetParam() == Kept::asBytes) {
    // As bytes, the same texts are their Windows-1252 bytes.
    stops_.bytes = {};
    const unsigned char p1[] = {0xE9, '.', 0xFF}, c1[] = {0x80, 'A', 'F', 'F', 0xE9};
    const unsigned char p2[] = {'1'}, c2[] = {0xFF, 0xFF, 'x', 'x', 0xC0};
    stops_.bytes.positions.emplace_back(ByteView(p1));
    stops_.bytes.colors.emplace_back(ByteView(c1));
    stops_.bytes.positions.emplace_back(ByteView(p2));
    stops_.bytes.colors.emplace_back(ByteView(c2));
  }
  const Outcome outcome = write();
  EXPECT_EQ(outcome.codesNotFound, 3);
  EXPECT_NE(output().find("    [\xE9.\xFF" "00   rgb <0.008, 0.012, 0.004>]\r\n"
                          "    [1.000   rgb <0.000, 0.000, 0.000>]\r\n"),
            std::string::npos)
      << output();
}

}  // namespace
}  // namespace tintgrove
