#include "gradient/entry_text.h"

#include <gtest/gtest.h>

#include <limits>

#include "test_support.h"

namespace tintgrove {
namespace {

TEST(EntryTextTest, ChannelNumbersShowTheSinglePrecisionScale) {
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

TEST(EntryTextTest, ReadsTheLongestPlainDecimalPrefix) {
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

TEST(EntryTextTest, PositionTexts) {
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
    EXPECT_EQ(positionText(c.in).view(), c.out) << test::shown(c.in);
  }
}

}  // namespace
}  // namespace tintgrove
