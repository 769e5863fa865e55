// The program's text type: 16-bit character units, positions counted from 1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>

#include "textfile/storage.h"

namespace tintgrove {

using Text = std::u16string;
using TextView = std::u16string_view;

// The characters from position `start` (1-based) on, at most `count` of them.
// A start below 1 counts as 1, a negative count as 0, and the result stops at
// the end of the text.
TextView Slice(TextView text, std::int64_t start, std::int64_t count);

// Plain decimal, "-" only when negative, no leading zeros.
Text integerText(std::int64_t value);

// For literals and messages that are plain ASCII.
Text asciiText(std::string_view ascii);

// Storage for trivially copyable values that doubles as it grows, in memory
// from the platform layer (large blocks are its business); pages never
// written cost no memory. Throws std::bad_alloc when full.
template <typename T>
class GrowingArray {
  static_assert(std::is_trivially_copyable_v<T>, "moved as plain bytes");

 public:
  GrowingArray() = default;
  GrowingArray(const GrowingArray& other) { append(other.data_, other.size_); }
  GrowingArray& operator=(const GrowingArray& other) {
    if (this != &other) {
      size_ = 0;
      append(other.data_, other.size_);
    }
    return *this;
  }
  ~GrowingArray() { platform::releaseStorage(data_, capacity_ * sizeof(T)); }

  std::size_t size() const { return size_; }
  const T* data() const { return data_; }
  const T& operator[](std::size_t i) const { return data_[i]; }

  void append(const T* values, std::size_t count) {
    if (count == 0) return;
    std::memcpy(reserveMore(count), values, count * sizeof(T));
    size_ += count;
  }
  void push_back(const T& value) { append(&value, 1); }
  // Room for `count` more values at the end, to be filled through the
  // pointer and then committed with `grownBy`.
  T* reserveMore(std::size_t count) {
    if (capacity_ - size_ < count) grow(count);
    return data_ + size_;
  }
  void grownBy(std::size_t count) { size_ += count; }
  void release() {
    platform::releaseStorage(data_, capacity_ * sizeof(T));
    data_ = nullptr;
    size_ = capacity_ = 0;
  }

 private:
  void grow(std::size_t count) {
    constexpr std::size_t kLimit = static_cast<std::size_t>(-1) / sizeof(T) / 2;
    if (count > kLimit - size_) throw std::bad_alloc();
    std::size_t capacity = capacity_ < 64 ? 64 : capacity_;
    while (capacity < size_ + count) capacity = capacity < kLimit ? capacity * 2 : kLimit;
    void* grown = platform::growStorage(data_, size_ * sizeof(T),
                                        capacity_ * sizeof(T), capacity * sizeof(T));
    if (grown == nullptr) throw std::bad_alloc();
    data_ = static_cast<T*>(grown);
    capacity_ = capacity;
  }

  T* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

// A 1-based list of texts kept in one block of storage: a million short
// texts cost their characters and an offset each, not a string object each.
// Characters take one byte each while every one of them is below 256, and
// offsets four bytes while the characters fit in 4 GiB; the first text that
// does not fit widens the whole list once.
class TextList {
 public:
  void append(TextView text);
  std::int64_t size() const {
    return static_cast<std::int64_t>(wideEnds_ ? ends64_.size() : ends32_.size());
  }
  // Entry `index` (1-based) into `out`, reusing its storage; an index
  // outside the list gives the empty text.
  void copyInto(std::int64_t index, Text& out) const;
  // At most the first `maxCount` characters of entry `index` into `out`;
  // gives how many were copied.
  std::size_t copyPrefix(std::int64_t index, char16_t* out,
                         std::size_t maxCount) const;
  Text operator[](std::int64_t index) const {
    Text entry;
    copyInto(index, entry);
    return entry;
  }

 private:
  std::size_t charCount() const { return wideChars_ ? wide_.size() : narrow_.size(); }
  std::size_t endOf(std::size_t i) const { return wideEnds_ ? ends64_[i] : ends32_[i]; }
  std::size_t entrySize(std::int64_t index) const;
  void widenChars(std::size_t more);
  void widenEnds();

  bool wideChars_ = false;
  bool wideEnds_ = false;
  GrowingArray<unsigned char> narrow_;
  GrowingArray<char16_t> wide_;
  GrowingArray<std::uint32_t> ends32_;
  GrowingArray<std::uint64_t> ends64_;
};

namespace testing {
// Character count past which TextList offsets widen to eight bytes; lowered
// by tests that cannot afford 4 GiB of text.
void setTextListOffsetLimitForTesting(std::uint64_t limit);
}  // namespace testing

}  // namespace tintgrove
