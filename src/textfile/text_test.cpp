#include "textfile/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>

namespace tintgrove {
namespace {

TEST(SliceTest, FollowsTheOneBasedRules) {
  struct Case {
    std::int64_t start, count;
    const char16_t* expected;
  };
  const Case cases[] = {
      {1, 3, u"abc"},   {2, 2, u"bc"},  {0, 2, u"ab"},    {-5, 1, u"a"},
      {4, 10, u"de"},   {5, 1, u"e"},   {6, 1, u""},      {100, 1, u""},
      {2, -3, u""},     {1, 0, u""},    {1, 5, u"abcde"}, {3, std::numeric_limits<std::int64_t>::max(), u"cde"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Slice(u"abcde", c.start, c.count), TextView(c.expected))
        << "start " << c.start << " count " << c.count;
  }
  EXPECT_EQ(Slice(u"", 1, 1), TextView());
}

TEST(IntegerTextTest, PlainDecimal) {
  EXPECT_EQ(integerText(0), u"0");
  EXPECT_EQ(integerText(37), u"37");
  EXPECT_EQ(integerText(-12), u"-12");
  EXPECT_EQ(integerText(1000000), u"1000000");
  EXPECT_EQ(integerText(std::numeric_limits<std::int64_t>::min()),
            u"-9223372036854775808");
}

TEST(TextPrefixTest, KeepsTheFirstCharactersOnly) {
  TextPrefix<5> prefix;
  EXPECT_EQ(prefix.view(), u"");
  prefix.append(u"0.3");
  prefix.append(u"3333");
  EXPECT_EQ(prefix.view(), u"0.333");
  prefix.append(u"x");
  EXPECT_EQ(prefix.view(), u"0.333");
  prefix.resize(9);  // never grows
  EXPECT_EQ(prefix.view(), u"0.333");
  prefix.resize(2);
  EXPECT_EQ(prefix.view(), u"0.");
  EXPECT_EQ(TextPrefix<2>(u"\u00E9\U0001F305").view(), u"\u00E9\xD83C");
}

// Bytes are copied in blocks of four where there are four to eight: every
// length, in one piece or two, keeps exactly the first bytes.
TEST(TextPrefixTest, BytePrefixesKeepTheFirstBytesOfEveryLength) {
  const unsigned char bytes[] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j'};
  const std::string all = "abcdefghij";
  for (std::size_t length = 0; length <= sizeof bytes; ++length) {
    const BytePrefix<7> whole(ByteView(bytes, length));
    EXPECT_EQ(std::string(whole.view().begin(), whole.view().end()),
              all.substr(0, std::min<std::size_t>(length, 7)))
        << length << " bytes";
    for (std::size_t first = 0; first <= length; ++first) {
      BytePrefix<7> prefix(ByteView(bytes, first));
      prefix.append(ByteView(bytes + first, length - first));
      const ByteView kept = prefix.view();
      EXPECT_EQ(std::string(kept.begin(), kept.end()),
                all.substr(0, std::min<std::size_t>(length, 7)))
          << first << " then " << length - first << " bytes";
    }
  }
}

}  // namespace
}  // namespace tintgrove
