#include "gradient/color_map_writer.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace tintgrove {
namespace {

using namespace ColorMapWriter;

TEST(ColorMapWriterTest, ChannelNumbersShowTheSinglePrecisionScale) {
  struct Case {
    float channelInteger;
    const char16_t* text;
  };
  const Case cases[] = {
      {0, u"0.000"},   {1, u"0.004"},   {5, u"0.019"},   {35, u"0.137"},
      {64, u"0.250"},  {65, u"0.253"},  {105, u"0.410"}, {128, u"0.499"},
      {145, u"0.565"}, {175, u"0.683"}, {255, u"0.994"}, {256, u"0.998"},
      {-1, u"-0.004"}, {-0.0f, u"0.000"}, {1000, u"3.900"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(channelNumberText(c.channelInteger), c.text) << c.channelInteger;
  }
}

TEST(ColorMapWriterTest, ReadsTheLongestPlainDecimalPrefix) {
  struct Case {
    const char16_t* text;
    float value;
  };
  const Case cases[] = {
      {u"37", 37},       {u"42 ? ", 42},   {u"3A ? ", 3},     {u"A5 ? ", 0},
      {u" ? ", 0},       {u"  -7x", -7},   {u"+2.5e1z", 25},  {u"1e", 1},
      {u"1e+", 1},       {u".5", 0.5f},    {u".", 0},         {u"-", 0},
      {u"0x1A", 0},      {u"inf", 0},      {u"nan", 0},       {u"\t\n 9", 9},
      {u"1e99", std::numeric_limits<float>::infinity()},  {u"1e-99", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(readPlainDecimal(c.text), c.value) << test::shown(c.text);
  }
}

TEST(ColorMapWriterTest, PositionTexts) {
  struct Case {
    const char16_t* in;
    const char16_t* out;
  };
  const Case cases[] = {
      {u"0.25", u"0.25"},   {u"0.125", u"0.125"}, {u"0.33333", u"0.333"},
      {u"0.5", u"0.500"},   {u"", u"00"},         {u"1", u"1.000"},
      {u"0", u"0.000"},     {u"10", u"10.000"},   {u"1.", u"1.00"},
      {u"0.123456", u"0.123"},
      // Only a bare, optionally signed integer gets a fraction; other short
      // texts keep the plain padding, which POV-Ray still reads.
      {u"-0", u"-0.000"},   {u"+1", u"+1.000"},   {u"-12", u"-12.000"},
      {u"1e5", u"1e500"},   {u"-", u"-00"},       {u"+", u"+00"},
      {u".5", u".500"},     {u"1e", u"1e00"},     {u"1234", u"1234"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(positionText(c.in), c.out) << test::shown(c.in);
  }
}

TEST(ColorMapWriterTest, DeclaredNamesAreValidIdentifiers) {
  struct Case {
    const char16_t* baseName;
    const char16_t* name;
  };
  const Case cases[] = {
      {u"sunset", u"sunset"},  {u"sunset-2 v.1", u"sunset_2_v_1"},
      {u"2tone", u"_2tone"},   {u"red", u"_red"},
      {u"", u"_"},             {u"caf\u00E9", u"caf_"},
      {u"Red", u"Red"},        {u"pi", u"_pi"},
      {u"x", u"_x"},           {u"_ok_9", u"_ok_9"},
      // Reserved once mended.
      {u"color map", u"_color_map"}, {u"color-map", u"_color_map"},
      // A character outside the Basic Multilingual Plane is one character.
      {u"a\U0001F600b", u"a_b"},  {u"\U0001F305", u"_"},
      // A lone surrogate is one character too.
      {u"a\xD83D" u"b", u"a_b"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(declaredName(c.baseName), c.name) << test::shown(c.baseName);
  }
}

class WriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::writeBytes(folder_.file("hex-bin.txt"), test::standardTable());
    ASSERT_EQ(state_.codeTable.load(folder_.text("hex-bin.txt")), FileProblem::none);
    state_.baseName = u"sunset";
    state_.includePath = folder_.text("sunset.inc");
  }
  void TearDown() override { LineFile::closeAll(); }
  std::string output() { return test::readBytes(folder_.file("sunset.inc")); }

  test::ScratchFolder folder_;
  RunState state_;
};

TEST_F(WriteTest, WholeFile) {
  state_.positionTexts.append(u"0.0");
  state_.positionTexts.append(u"1.0");
  state_.colorTexts.append(u"000000");
  state_.colorTexts.append(u"FF8000");
  const Outcome outcome = write(state_);
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
  state_.positionTexts.append(u"0.5");
  state_.colorTexts.append(u"FF\"");    // short: green is a quote, blue empty
  state_.colorTexts.append(u"4gzz7F");  // 4g read as 4, zz as 0
  const Outcome outcome = write(state_);
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
  state_.positionTexts.append(u"0.5");
  state_.colorTexts.append(u".5.9FF");
  const Outcome outcome = write(state_);
  EXPECT_EQ(outcome.codesNotFound, 2);
  EXPECT_NE(output().find("    [0.500   rgb <0.000, 0.004, 0.998>]\r\n"), std::string::npos)
      << output();
}

TEST_F(WriteTest, SurplusPositionsAreCountedButNotWritten) {
  for (const char16_t* p : {u"0", u"0.5", u"1"}) state_.positionTexts.append(p);
  state_.colorTexts.append(u"808080");
  EXPECT_TRUE(write(state_).written);
  const std::string text = output();
  EXPECT_NE(text.find("//   position counts: 3\r\n"), std::string::npos);
  EXPECT_NE(text.find("   color_map {\r\n    [0.000   rgb <0.503, 0.503, 0.503>]\r\n   }\r\n"),
            std::string::npos)
      << text;
}

TEST_F(WriteTest, ReplacesAnExistingFileAndReportsWhatCannotBeWritten) {
  test::writeBytes(folder_.file("sunset.inc"), std::string(10000, '#'));
  state_.colorTexts.append(u"000000");
  EXPECT_TRUE(write(state_).written);
  EXPECT_EQ(output().rfind("//   converted", 0), 0u);
  EXPECT_EQ(output().find("##"), std::string::npos);

  state_.includePath = folder_.text("");  // a folder cannot be written
  EXPECT_FALSE(write(state_).written);
}

}  // namespace
}  // namespace tintgrove
