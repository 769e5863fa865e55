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

// Entries are kept one byte per character until a character needs more, and
// with four-byte offsets until the characters outgrow them; either switch
// must keep every entry before it.
TEST(TextListTest, KeepsEntriesAcrossEveryWidening) {
  struct Restore {
    ~Restore() { testing::setTextListOffsetLimitForTesting(0xFFFFFFFFu); }
  } restore;
  testing::setTextListOffsetLimitForTesting(15);  // passed at the fourth entry
  const Text entries[] = {u"0.25",      u"1A2B3C\"", u"",  u"caf\u00e9 \u00ff",
                          u"\u20ac 5",  u"0.5",       u"",  u"\U0001F600 and more text"};
  TextList list;
  for (const Text& entry : entries) list.append(entry);
  ASSERT_EQ(list.size(), 8);
  for (std::int64_t i = 1; i <= list.size(); ++i) {
    EXPECT_EQ(list[i], entries[i - 1]) << "entry " << i;
  }
}

TEST(TextListTest, CopiesPrefixesOfNarrowAndWideEntries) {
  for (const bool wide : {false, true}) {
    TextList list;
    list.append(u"0.123456");
    list.append(u"FF");
    if (wide) list.append(u"\u2122");
    char16_t out[5] = {};
    EXPECT_EQ(list.copyPrefix(1, out, 5), 5u);
    EXPECT_EQ(TextView(out, 5), u"0.123");
    EXPECT_EQ(list.copyPrefix(2, out, 5), 2u);
    EXPECT_EQ(TextView(out, 2), u"FF");
    EXPECT_EQ(list.copyPrefix(0, out, 5), 0u);
    EXPECT_EQ(list.copyPrefix(9, out, 5), 0u);
  }
}

// Large arrays live in storage of their own that moves as it grows.
TEST(GrowingArrayTest, KeepsValuesWhileGrowingPastLargeBlocks) {
  GrowingArray<std::uint32_t> values;
  constexpr std::uint32_t kCount = 3'000'000;  // about 12 MB
  for (std::uint32_t i = 0; i < kCount; ++i) values.push_back(i * 7u);
  GrowingArray<std::uint32_t> copy = values;
  ASSERT_EQ(copy.size(), kCount);
  for (std::uint32_t i = 0; i < kCount; i += 4099) {
    ASSERT_EQ(values[i], i * 7u);
    ASSERT_EQ(copy[i], i * 7u);
  }
  values.release();
  EXPECT_EQ(values.size(), 0u);
  values.push_back(5);
  EXPECT_EQ(values[0], 5u);
}

}  // namespace
}  // namespace tintgrove
