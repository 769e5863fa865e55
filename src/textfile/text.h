// The program's text type: 16-bit character units, positions counted from 1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>

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

// Storage for trivially copyable values that grows with realloc: a large
// block usually moves by remapping its pages rather than by copying them,
// and pages never written cost no memory. Throws std::bad_alloc when full.
template <typename T>
class GrowingArray {
  static_assert(std::is_trivially_copyable_v<T>, "moved with realloc");

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
  ~GrowingArray() { std::free(data_); }

  std::size_t size() const { return size_; }
  const T* data() const { return data_; }
  const T& operator[](std::size_t i) const { return data_[i]; }

  void append(const T* values, std::size_t count) {
    if (count == 0) return;
    if (capacity_ - size_ < count) grow(count);
    std::memcpy(data_ + size_, values, count * sizeof(T));
    size_ += count;
  }
  void push_back(const T& value) { append(&value, 1); }

 private:
  void grow(std::size_t count) {
    constexpr std::size_t kLimit = static_cast<std::size_t>(-1) / sizeof(T) / 2;
    if (count > kLimit - size_) throw std::bad_alloc();
    std::size_t capacity = capacity_ < 64 ? 64 : capacity_;
    while (capacity < size_ + count) capacity = capacity < kLimit ? capacity * 2 : kLimit;
    void* grown = std::realloc(data_, capacity * sizeof(T));
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
class TextList {
 public:
  void append(TextView text) {
    chars_.append(text.data(), text.size());
    ends_.push_back(chars_.size());
  }
  std::int64_t size() const { return static_cast<std::int64_t>(ends_.size()); }
  // Entry `index` (1-based); an index outside the list gives the empty text.
  TextView operator[](std::int64_t index) const {
    if (index < 1 || index > size()) return {};
    const auto i = static_cast<std::size_t>(index - 1);
    const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
    return TextView(chars_.data() + begin, ends_[i] - begin);
  }

 private:
  GrowingArray<char16_t> chars_;
  GrowingArray<std::size_t> ends_;
};

}  // namespace tintgrove
