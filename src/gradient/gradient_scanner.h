// Pulls the colour stops out of a gradient file by fixed columns.
#pragma once

#include <cstdint>
#include <deque>

#include "textfile/file_problem.h"
#include "textfile/text.h"

namespace tintgrove {

// The stops of a gradient in file order; the i-th position and the i-th
// colour form the i-th stop. Only the characters the include file uses are
// kept: five of a position and six of a colour.
struct Stops {
  std::deque<TextPrefix<5>> positionTexts;
  std::deque<TextPrefix<6>> colorTexts;

  std::int64_t positionCount() const { return static_cast<std::int64_t>(positionTexts.size()); }
  std::int64_t colorCount() const { return static_cast<std::int64_t>(colorTexts.size()); }
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

// Both column tests, on one line given in parts of any size.
class LineScan {
 public:
  void add(TextView part);
  void finish(Stops& stops) const;

 private:
  bool isPosition() const;

  std::size_t length_ = 0;  // characters so far
  TextPrefix<16> head_;     // columns 1 to 16: the keys
  TextPrefix<7> color_;     // from column 16 on
  TextPrefix<5> value_;     // from column 17 on
  std::size_t valueEnd_ = 0;  // the value's length without what may follow it
};

}  // namespace GradientScanner
}  // namespace tintgrove
