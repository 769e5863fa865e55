// The program's text type: 16-bit character units, positions counted from 1.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <span>
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

// Bytes of a file as they are, before the code page makes characters of them.
using ByteView = std::span<const unsigned char>;

// The first `N` units of a text at most, kept in place: a million of them
// cost no allocation each. The units are characters (TextPrefix) or the
// bytes of a file (BytePrefix).
template <class Unit, std::size_t N>
class Prefix {
  static_assert(N < 256);

 public:
  using View = std::conditional_t<std::is_same_v<Unit, char16_t>, TextView, ByteView>;

  Prefix() = default;
  explicit Prefix(View units) { append(units); }
  // Adds units while there is room; the rest is dropped.
  void append(View units) {
    const std::size_t count = std::min(units.size(), N - size_);
    copyFew(units.data(), count, units_ + size_);
    size_ = static_cast<std::uint8_t>(size_ + count);
  }
  void resize(std::size_t size) {
    if (size < size_) size_ = static_cast<std::uint8_t>(size);
  }
  std::size_t size() const { return size_; }
  View view() const { return View(units_, size_); }

 private:
  // A prefix of bytes holds a few: two overlapping moves of four copy four
  // to eight of them, which costs less than a call to copy them.
  static void copyFew(const Unit* from, std::size_t count, Unit* to) {
    if constexpr (sizeof(Unit) == 1 && N >= 4) {
      if (count >= 4 && count <= 8) {
        std::memcpy(to, from, 4 * sizeof(Unit));
        std::memcpy(to + count - 4, from + count - 4, 4 * sizeof(Unit));
        return;
      }
    }
    for (std::size_t i = 0; i < count; ++i) to[i] = from[i];
  }

  Unit units_[N] = {};
  std::uint8_t size_ = 0;
};

template <std::size_t N>
using TextPrefix = Prefix<char16_t, N>;
template <std::size_t N>
using BytePrefix = Prefix<unsigned char, N>;

}  // namespace tintgrove
