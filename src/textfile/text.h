// The program's text type: 16-bit character units, positions counted from 1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// A 1-based list of texts kept in one block of storage: a million short
// texts cost their characters and an offset each, not a string object each.
class TextList {
 public:
  void append(TextView text);
  std::int64_t size() const { return static_cast<std::int64_t>(ends_.size()); }
  // Entry `index` (1-based); an index outside the list gives the empty text.
  TextView operator[](std::int64_t index) const;

 private:
  std::u16string chars_;
  std::vector<std::size_t> ends_;
};

}  // namespace tintgrove
