// The colour code table: the value of a two-character code is the number of
// the line of hex-bin.txt that holds it.
#pragma once

#include <array>
#include <cstdint>
#include <map>

#include "textfile/line_file.h"
#include "textfile/text.h"

namespace tintgrove {

class HexCodeTable {
 public:
  static constexpr std::int64_t kLookupLines = 256;

  // Reads the table; the file stays open until LineFile::closeAll. False when
  // it cannot be opened (the table is then empty).
  bool load(TextView path = u"hex-bin.txt");

  // The line number as Integer text, or the code followed by " ? ".
  Text lookup(TextView code) const;
  // The highest line among 1 to 256 that holds `code`, or 0.
  std::int64_t lineOf(TextView code) const {
    if (code.empty()) return empty_;
    if (code.size() == 1 && code[0] < 128) return single_[code[0]];
    if (code.size() == 2 && code[0] < 128 && code[1] < 128) {
      return pair_[code[0] * 128 + code[1]];
    }
    return lineOfOther(code);
  }

  // Every line, spaces (code 32) trimmed at both ends.
  const TextList& codeEntries() const { return codeEntries_; }

 private:
  void index(std::int64_t line, TextView entry);
  std::int64_t lineOfOther(TextView code) const;

  TextList codeEntries_;
  LineFile file_;
  // Built once at load, so a lookup does not scan 256 entries: ASCII codes of
  // up to two characters by direct index, everything else through the map.
  std::int16_t empty_ = 0;
  std::array<std::int16_t, 128> single_{};
  std::array<std::int16_t, 128 * 128> pair_{};
  std::map<Text, std::int16_t, std::less<>> other_;
};

}  // namespace tintgrove
