// The colour code table: the value of a two-character code is the number of
// the line of hex-bin.txt that holds it.
#pragma once

#include <array>
#include <cstdint>
#include <map>

#include "textfile/file_problem.h"
#include "textfile/line_file.h"
#include "textfile/text.h"

namespace tintgrove {

class HexCodeTable {
 public:
  static constexpr std::int64_t kLookupLines = 256;

  // Reads the table; the file stays open until LineFile::closeAll.
  // FileProblem::none, or why it cannot be opened (the table is then empty).
  FileProblem load(TextView path = u"hex-bin.txt");

  // The line number as Integer text, or the code followed by " ? ".
  Text lookup(TextView code) const;
  // The highest line among 1 to 256 that holds `code`; failing that, the
  // highest that holds it in another ASCII case; or 0.
  std::int64_t lineOf(TextView code) const {
    const std::int64_t exact = exactLineOf(code);
    return exact != 0 ? exact : lineOfFolded(code);
  }

  // Every line, spaces (code 32) trimmed at both ends.
  const TextList& codeEntries() const { return codeEntries_; }

 private:
  // Codes of up to two ASCII characters by direct index, everything else
  // through a map, so a lookup does not scan 256 entries.
  struct Index {
    std::int16_t empty = 0;
    std::array<std::int16_t, 128> single{};
    std::array<std::int16_t, 128 * 128> pair{};
    std::map<Text, std::int16_t, std::less<>> other;

    void add(std::int16_t line, TextView entry);
    std::int64_t find(TextView code) const;
  };

  std::int64_t exactLineOf(TextView code) const { return exact_.find(code); }
  std::int64_t lineOfFolded(TextView code) const;

  TextList codeEntries_;
  LineFile file_;
  // Built once at load; lines are added in increasing order, so a later line
  // overwrites an earlier one and the highest line wins.
  Index exact_;
  Index folded_;  // entries in lower case
};

}  // namespace tintgrove
