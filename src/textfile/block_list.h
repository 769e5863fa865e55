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
    std::size_t capacity;
  };

 public:
  BlockList() = default;
  BlockList(BlockList&& other) noexcept { take(other); }
  BlockList& operator=(BlockList&& other) noexcept {
    if (this != &other) {
      release();
      take(other);
    }
    return *this;
  }
  ~BlockList() { release(); }

  // Throws std::bad_alloc when no memory is left; the list is then as it was.
  void push_back(const T& value) {
    if (next_ == room_) [[unlikely]] addBlock();
    *next_++ = value;
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
    const_iterator(const BlockList& list, const Block* block) : list_(&list) { enter(block); }
    // Every block but the last is full; past the last, the item is null.
    void enter(const Block* block) {
      block_ = block;
      const Block* end = list_->blocks_.data() + list_->blocks_.size();
      if (block == end) {
        item_ = blockEnd_ = nullptr;
        return;
      }
      item_ = block->items;
      blockEnd_ = block + 1 == end ? list_->next_ : block->items + block->capacity;
    }
    const BlockList* list_;
    const Block* block_;
    const T* item_;
    const T* blockEnd_;
  };
  const_iterator begin() const { return const_iterator(*this, blocks_.data()); }
  const_iterator end() const { return const_iterator(*this, blocks_.data() + blocks_.size()); }

 private:
  // A short list takes a few KiB; a long one soon goes to large blocks,
  // where its pages are huge.
  static constexpr std::size_t kBlockBytes[] = {std::size_t{4} << 10, std::size_t{64} << 10,
                                                platform::kLargeBlock};

  static std::size_t blockBytes(std::size_t index) {
    return kBlockBytes[std::min(index, std::size(kBlockBytes) - 1)];
  }

  void addBlock() {
    const std::size_t bytes = blockBytes(blocks_.size());
    blocks_.reserve(blocks_.size() + 1);
    void* memory = platform::allocateBlock(bytes);
    if (memory == nullptr) throw std::bad_alloc();
    const Block block{static_cast<T*>(memory), bytes / sizeof(T)};
    blocks_.push_back(block);
    next_ = block.items;
    room_ = block.items + block.capacity;
  }

  void take(BlockList& other) {
    blocks_ = std::exchange(other.blocks_, {});
    next_ = std::exchange(other.next_, nullptr);
    room_ = std::exchange(other.room_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }

  void release() {
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
      platform::releaseBlock(blocks_[i].items, blockBytes(i));
    }
    blocks_.clear();
    next_ = room_ = nullptr;
    size_ = 0;
  }

  std::vector<Block> blocks_;
  T* next_ = nullptr;  // where the next value goes, in the last block
  T* room_ = nullptr;  // the end of the last block's room
  std::size_t size_ = 0;
};

}  // namespace tintgrove
