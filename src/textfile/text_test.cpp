#include "textfile/text.h"

#include <gtest/gtest.h>

#include <limits>

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

TEST(TextListTest, OneBasedAndEmptyOutsideTheList) {
  TextList list;
  list.append(u"first");
  list.append(u"");
  list.append(u"third");
  EXPECT_EQ(list.size(), 3);
  EXPECT_EQ(list[1], u"first");
  EXPECT_EQ(list[2], u"");
  EXPECT_EQ(list[3], u"third");
  EXPECT_EQ(list[0], u"");
  EXPECT_EQ(list[4], u"");
}

// The storage moves as it grows: entries must survive many regrowths, and a
// copy must not share storage with its original.
TEST(TextListTest, KeepsEveryEntryAcrossGrowthAndCopies) {
  TextList list;
  for (int i = 0; i < 100000; ++i) list.append(integerText(i));
  TextList copy = list;
  list.append(u"only in the original");
  ASSERT_EQ(copy.size(), 100000);
  for (int i = 0; i < 100000; i += 997) {
    EXPECT_EQ(copy[i + 1], integerText(i));
    EXPECT_EQ(list[i + 1], integerText(i));
  }
  EXPECT_EQ(list[100001], u"only in the original");
  copy = list;
  EXPECT_EQ(copy[100001], u"only in the original");
}

}  // namespace
}  // namespace tintgrove
