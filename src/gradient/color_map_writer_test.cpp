#include "gradient/color_map_writer.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace tintgrove {
namespace {

using ColorMapWriter::Outcome;

class WriteTest : public ::testing::Test {
 protected:
  Outcome write() {
    return ColorMapWriter::write(includePath_, u"sunset", stops_, table_);
  }
  void position(TextView text) { stops_.positionTexts.emplace_back(text); }
  void color(TextView text) { stops_.colorTexts.emplace_back(text); }
  std::string output() { return test::readBytes(folder_.file("sunset.inc")); }

  test::ScratchFolder folder_;
  Text includePath_ = folder_.text("sunset.inc");
  HexCodeTable table_ = test::tableOf(test::standardTable());
  Stops stops_;
};

TEST_F(WriteTest, WholeFile) {
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

TEST_F(WriteTest, MoreColoursThanPositionsAndCodesNotFound) {
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
TEST_F(WriteTest, FractionsOfCodesNotFoundRoundTiesToEven) {
  position(u"0.5");
  color(u".5.9FF");
  const Outcome outcome = write();
  EXPECT_EQ(outcome.codesNotFound, 2);
  EXPECT_NE(output().find("    [0.500   rgb <0.000, 0.004, 0.998>]\r\n"), std::string::npos)
      << output();
}

TEST_F(WriteTest, SurplusPositionsAreCountedButNotWritten) {
  for (const char16_t* p : {u"0", u"0.5", u"1"}) position(p);
  color(u"808080");
  EXPECT_TRUE(write().written);
  const std::string text = output();
  EXPECT_NE(text.find("//   position counts: 3\r\n"), std::string::npos);
  EXPECT_NE(text.find("   color_map {\r\n    [0.000   rgb <0.503, 0.503, 0.503>]\r\n   }\r\n"),
            std::string::npos)
      << text;
}

TEST_F(WriteTest, ReplacesAnExistingFileAndReportsWhatCannotBeWritten) {
  test::writeBytes(folder_.file("sunset.inc"), std::string(10000, '#'));
  color(u"000000");
  EXPECT_TRUE(write().written);
  EXPECT_EQ(output().rfind("//   converted", 0), 0u);
  EXPECT_EQ(output().find("##"), std::string::npos);

  includePath_ = folder_.text("");  // a folder cannot be written
  EXPECT_FALSE(write().written);
}

}  // namespace
}  // namespace tintgrove
