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

Text asciiText(std::string_view ascii) {
  return Text(ascii.begin(), ascii.end());
}

namespace {
std::uint64_t textListOffsetLimit = 0xFFFFFFFFu;
}  // namespace

void testing::setTextListOffsetLimitForTesting(std::uint64_t limit) {
  textListOffsetLimit = std::min<std::uint64_t>(limit, 0xFFFFFFFFu);
}

void TextList::append(TextView text) {
  // Everything that may run out of memory happens before anything is
  // committed, so a failed append leaves the list as it was.
  const std::size_t count = text.size();
  const std::size_t end = charCount() + count;
  if (!wideEnds_ && end > textListOffsetLimit) widenEnds();
  if (wideEnds_) {
    ends64_.reserveMore(1);
  } else {
    ends32_.reserveMore(1);
  }
  if (count > 0 && !wideChars_) {
    unsigned char* out = narrow_.reserveMore(count);
    char16_t high = 0;
    for (std::size_t i = 0; i < count; ++i) {
      out[i] = static_cast<unsigned char>(text[i]);
      high |= text[i];
    }
    if (high < 256) {
      narrow_.grownBy(count);
    } else {
      widenChars(count);
    }
  }
  if (count > 0 && wideChars_) wide_.append(text.data(), count);
  if (wideEnds_) {
    ends64_.push_back(end);
  } else {
    ends32_.push_back(static_cast<std::uint32_t>(end));
  }
}

namespace {

// `from` copied into the empty `to`, value by value, with room for `more`
// besides; `from` is then released.
template <typename Narrow, typename Wide>
void widen(GrowingArray<Narrow>& from, GrowingArray<Wide>& to, std::size_t more) {
  Wide* out = to.reserveMore(from.size() + more);
  for (std::size_t i = 0; i < from.size(); ++i) out[i] = from[i];
  to.grownBy(from.size());
  from.release();
}

}  // namespace

void TextList::widenChars(std::size_t more) {
  // Room for the text that did not fit as well.
  widen(narrow_, wide_, more);
  wideChars_ = true;
}

void TextList::widenEnds() {
  widen(ends32_, ends64_, 1);
  wideEnds_ = true;
}

std::size_t TextList::entrySize(std::int64_t index) const {
  if (index < 1 || index > size()) return 0;
  const auto i = static_cast<std::size_t>(index - 1);
  return endOf(i) - (i == 0 ? 0 : endOf(i - 1));
}

void TextList::copyInto(std::int64_t index, Text& out) const {
  out.resize(entrySize(index));
  copyPrefix(index, out.data(), out.size());
}

std::size_t TextList::copyPrefix(std::int64_t index, char16_t* out,
                                 std::size_t maxCount) const {
  const std::size_t count = std::min(entrySize(index), maxCount);
  if (count == 0) return 0;
  const auto i = static_cast<std::size_t>(index - 1);
  const std::size_t begin = i == 0 ? 0 : endOf(i - 1);
  if (wideChars_) {
    std::memcpy(out, wide_.data() + begin, count * sizeof(char16_t));
  } else {
    const unsigned char* in = narrow_.data() + begin;
    for (std::size_t k = 0; k < count; ++k) out[k] = in[k];
  }
  return count;
}

}  // namespace tintgrove
