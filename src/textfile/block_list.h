// A list that only grows, of values that copy as bytes, kept in blocks that
// never move: growing copies nothing, and the large blocks come from the
// platform (storage.h), on huge pages where it can.
#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#include "textfile/storage.h"

namespace tintgrove {

template <class T>
class BlockList {
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

  struct Block {
    T* items;
    std::size_t size;
    std::size_t capacity;
  };

 public:
  BlockList() = default;
  BlockList(BlockList&& other) noexcept
      : blocks_(std::exchange(other.blocks_, {})), size_(std::exchange(other.size_, 0)) {}
  BlockList& operator=(BlockList&& other) noexcept {
    if (this != &other) {
      release();
      blocks_ = std::exchange(other.blocks_, {});
      size_ = std::exchange(other.size_, 0);
    }
    return *this;
  }
  ~BlockList() { release(); }

  // Throws std::bad_alloc when no memory is left; the list is then as it was.
  void push_back(const T& value) {
    if (blocks_.empty() || blocks_.back().size == blocks_.back().capacity) [[unlikely]] {
      addBlock();
    }
    Block& last = blocks_.back();
    last.items[last.size++] = value;
    ++size_;
  }
  template <class... Args>
  void emplace_back(Args&&... args) {
    push_back(T(std::forward<Args>(args)...));
  }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  class const_iterator {
   public:
    const T& operator*() const { return *item_; }
    const T* operator->() const { return item_; }
    const_iterator& operator++() {
      if (++item_ == blockEnd_) enter(block_ + 1);
      return *this;
    }
    bool operator==(const const_iterator& other) const { return item_ == other.item_; }

   private:
    friend class BlockList;
    const_iterator(const Block* block, const Block* end) : end_(end) { enter(block); }
    // Past the last block, the item is null.
    void enter(const Block* block) {
      block_ = block;
      item_ = block == end_ ? nullptr : block->items;
      blockEnd_ = block == end_ ? nullptr : block->items + block->size;
    }
    const Block* block_;
    const Block* end_;
    const T* item_;
    const T* blockEnd_;
  };
  const_iterator begin() const { return const_iterator(blocks_.data(), blocksEnd()); }
  const_iterator end() const { return const_iterator(blocksEnd(), blocksEnd()); }

 private:
  // A short list takes a few KiB; a long one soon goes to large blocks,
  // where its pages are huge.
  static constexpr std::size_t kBlockBytes[] = {std::size_t{4} << 10, std::size_t{64} << 10,
                                                platform::kLargeBlock};

  void addBlock() {
    const std::size_t bytes = kBlockBytes[std::min(blocks_.size(), std::size(kBlockBytes) - 1)];
    blocks_.reserve(blocks_.size() + 1);
    void* memory = platform::allocateBlock(bytes);
    if (memory == nullptr) throw std::bad_alloc();
    blocks_.push_back({static_cast<T*>(memory), 0, bytes / sizeof(T)});
  }

  const Block* blocksEnd() const { return blocks_.data() + blocks_.size(); }

  void release() {
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
      platform::releaseBlock(blocks_[i].items,
                             kBlockBytes[std::min(i, std::size(kBlockBytes) - 1)]);
    }
    blocks_.clear();
    size_ = 0;
  }

  std::vector<Block> blocks_;
  std::size_t size_ = 0;
};

}  // namespace tintgrove
