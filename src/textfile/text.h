// The program's text type: 16-bit character units, positions counted from 1.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tintgrove {

using Text = std::u16string;
using TextView = std::u16string_view;

// The characters from position `start` (1-based) on, at most `count` of them.
// A start below 1 counts as 1, a negative count as 0, and the result stops at
// the end of the text.
TextView Slice(TextView text, std::int64_t start, std::int64_t count);

// Plain decimal, "-" only when negative, no leading zeros.
Text integerText(std::int64_t value);

// The first `N` characters of a text at most, kept in place: a million of
// them cost no allocation each.
template <std::size_t N>
class TextPrefix {
  static_assert(N < 256);

 public:
  TextPrefix() = default;
  explicit TextPrefix(TextView text) { append(text); }
  // Adds characters while there is room; the rest is dropped.
  void append(TextView text) {
    for (std::size_t i = 0; i < text.size() && size_ < N; ++i) chars_[size_++] = text[i];
  }
  void resize(std::size_t size) {
    if (size < size_) size_ = static_cast<std::uint8_t>(size);
  }
  std::size_t size() const { return size_; }
  TextView view() const { return TextView(chars_, size_); }

 private:
  char16_t chars_[N] = {};
  std::uint8_t size_ = 0;
};

}  // namespace tintgrove
