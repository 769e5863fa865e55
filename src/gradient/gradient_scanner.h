// Pulls the colour stops out of a gradient file by fixed columns.
#pragma once

#include <cstdint>
#include <span>

#include "textfile/block_list.h"
#include "textfile/file_problem.h"
#include "textfile/text.h"

namespace tintgrove {

// The stops of a gradient in file order; the i-th position and the i-th
// colour form the i-th stop. Only the characters the include file uses are
// kept: five of a position and six of a colour.
template <class Unit>
struct KeptTexts {
  BlockList<Prefix<Unit, 5>> positions;
  BlockList<Prefix<Unit, 6>> colors;
};

// Where the code page makes every byte one character and ASCII bytes
// themselves (platform::ansiBytesAreCharacters), the texts are kept as the
// file's bytes, which the include file then takes as they are; elsewhere as
// decoded text. A scan fills one of the two.
struct Stops {
  KeptTexts<unsigned char> bytes;
  KeptTexts<char16_t> text;

  std::int64_t positionCount() const {
    return static_cast<std::int64_t>(bytes.positions.size() + text.positions.size());
  }
  std::int64_t colorCount() const {
    return static_cast<std::int64_t>(bytes.colors.size() + text.colors.size());
  }
};

namespace GradientScanner {

struct Result {
  Stops stops;
  // Why the file could not be opened, or notEnoughMemory when the stops
  // found so far are all there are.
  FileProblem problem = FileProblem::none;
};

// Reads every line of the file at `path`.
Result scan(TextView path);

// Both column tests, on one line given in parts of any size: parts of
// characters (char16_t), or of the file's bytes (unsigned char) where those
// are characters.
template <class Unit>
class LineScan {
 public:
  void add(std::span<const Unit> part);
  void finish(KeptTexts<Unit>& kept) const;
  // A line given whole, tested where it lies, as add() and finish() would.
  static void scanLine(std::span<const Unit> line, KeptTexts<Unit>& kept);

  // Columns (0-based) the tests look at: "position" in 6 to 13, "#" in 15,
  // the colour from 16 and the position's value from 17 (1-based).
  static constexpr std::size_t kKeyStart = 5;
  static constexpr std::size_t kHash = 14;
  static constexpr std::size_t kColorStart = 15;
  static constexpr std::size_t kValueStart = 16;
  // The keys and every kept character lie before this column.
  static constexpr std::size_t kHeadSize = kValueStart + 5;

 private:
  // The tests, from the line's first units (kHeadSize of them, or all of a
  // shorter line) and its length; keep() also takes whether it is a
  // position, and where the position's value ends.
  static bool isPosition(const Unit* head, std::size_t length);
  static void keep(const Unit* head, std::size_t length, bool position,
                   std::size_t valueEnd, KeptTexts<Unit>& kept);
  // Where a position's value ends, once `part`, starting at column `start`,
  // is added; `before` where it ended without it.
  static std::size_t valueEndWith(std::span<const Unit> part, std::size_t start,
                                  std::size_t before);

  std::size_t length_ = 0;     // characters so far
  Unit head_[kHeadSize];       // the first of them, up to kHeadSize
  std::size_t valueEnd_ = 0;   // the value's length without what may follow it
};

extern template class LineScan<char16_t>;
extern template class LineScan<unsigned char>;

}  // namespace GradientScanner
}  // namespace tintgrove
