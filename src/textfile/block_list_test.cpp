#include "textfile/block_list.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace tintgrove {
namespace {

std::vector<std::uint32_t> valuesOf(const BlockList<std::uint32_t>& list) {
  std::vector<std::uint32_t> values;
  for (const std::uint32_t value : list) values.push_back(value);
  return values;
}

// Past the small blocks and over several large ones (2 MiB hold 524288 of
// these), every value comes back once, in order.
TEST(BlockListTest, KeepsOrderAcrossBlocks) {
  for (const std::uint32_t count : {0u, 1u, 1024u, 1025u, 17408u, 17409u, 1200000u}) {
    BlockList<std::uint32_t> list;
    for (std::uint32_t i = 0; i < count; ++i) list.push_back(i * 7);
    ASSERT_EQ(list.size(), count);
    const std::vector<std::uint32_t> values = valuesOf(list);
    ASSERT_EQ(values.size(), count);
    bool inOrder = true;
    for (std::uint32_t i = 0; i < count; ++i) inOrder &= values[i] == i * 7;
    EXPECT_TRUE(inOrder) << count << " values";
  }
}

TEST(BlockListTest, MovesWithoutCopying) {
  BlockList<std::uint32_t> list;
  for (std::uint32_t i = 0; i < 5000; ++i) list.push_back(i);
  const std::uint32_t* first = &*list.begin();
  BlockList<std::uint32_t> moved = std::move(list);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(list.begin(), list.end());
  EXPECT_EQ(moved.size(), 5000u);
  EXPECT_EQ(&*moved.begin(), first);
  list = std::move(moved);
  EXPECT_EQ(valuesOf(list).back(), 4999u);
}

}  // namespace
}  // namespace tintgrove
