#include "textfile/text.h"

#include <algorithm>

namespace tintgrove {

TextView Slice(TextView text, std::int64_t start, std::int64_t count) {
  if (start < 1) start = 1;
  if (count < 0) count = 0;
  const auto length = static_cast<std::int64_t>(text.size());
  if (start > length) return {};
  const std::int64_t available = length - start + 1;
  return text.substr(static_cast<std::size_t>(start - 1),
                     static_cast<std::size_t>(std::min(count, available)));
}

Text integerText(std::int64_t value) {
  // Work on the magnitude as unsigned so that the smallest value has one too.
  std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value)
                                      : static_cast<std::uint64_t>(value);
  char16_t digits[24];
  std::size_t used = 0;
  do {
    digits[used++] = static_cast<char16_t>(u'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  Text result;
  if (value < 0) result.push_back(u'-');
  while (used > 0) result.push_back(digits[--used]);
  return result;
}

}  // namespace tintgrove
