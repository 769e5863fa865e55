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

  struct Load;
  // Reads the table from `file`: its first 256 lines, since no later line is
  // ever consulted. The caller keeps the file, and with it the table file
  // held, as long as it wants.
  static Load load(LineFile& file);

  // The highest line among 1 to 256 that holds `code` (spaces around it on
  // its line aside); failing that, the highest that holds it in another
  // ASCII case; or 0.
  std::int64_t lineOf(TextView code) const {
    // The usual code, two ASCII characters with a line of their own, is
    // looked up here; all others take the whole way.
    if (code.size() == 2 && code[0] < 128 && code[1] < 128) {
      if (const std::int16_t line = exact_.pair[code[0] * 128 + code[1]]; line != 0) {
        return line;
      }
    }
    return lineOfAnyCode(code);
  }

 private:
  // A code is at most two characters long, so only such entries are kept:
  // ASCII ones by direct index, others in a map.
  struct Index {
    std::int16_t empty = 0;
    std::array<std::int16_t, 128> single{};
    std::array<std::int16_t, 128 * 128> pair{};
    std::map<Text, std::int16_t, std::less<>> other;

    void add(std::int16_t line, TextView entry);
    std::int16_t find(TextView code) const;
  };

  static TextPrefix<2> lowerCase(TextView code);
  std::int64_t lineOfAnyCode(TextView code) const;

  // Lines are added in increasing order, so a later line overwrites an
  // earlier one and the highest line wins.
  Index exact_;
  Index folded_;  // entries in lower case
};

struct HexCodeTable::Load {
  HexCodeTable table;
  // Why it could not be opened or read; the table then holds what was read.
  FileProblem problem = FileProblem::none;
};

}  // namespace tintgrove
