#include "gradient/gradient_scanner.h"

#include <new>

#include "textfile/line_file.h"

namespace tintgrove::GradientScanner {

namespace {

// Columns (0-based) the tests look at: "position" in 6 to 13, "#" in 15,
// the colour from 16 and the position's value from 17 (1-based).
constexpr std::size_t kKeyStart = 5;
constexpr std::size_t kHash = 14;
constexpr std::size_t kColorStart = 15;
constexpr std::size_t kValueStart = 16;
// Past this column only the end of a position's value still matters.
constexpr std::size_t kPrefixEnd = kColorStart + 7;
static_assert(kPrefixEnd >= kValueStart + 5);

// What may follow a number at the end of a position line: blanks, a comma,
// the object's or the list's end.
bool trailsAValue(char16_t c) {
  return c == u' ' || c == u'\t' || c == u',' || c == u'}' || c == u']';
}

}  // namespace

bool LineScan::isPosition() const {
  return head_.size() >= kKeyStart + 8 && head_.view().substr(kKeyStart, 8) == u"position";
}

void LineScan::add(TextView part) {
  std::size_t i = 0;
  for (; i < part.size() && length_ < kPrefixEnd; ++i, ++length_) {
    const char16_t c = part[i];
    head_.append(TextView(&c, 1));
    if (length_ >= kColorStart) color_.append(TextView(&c, 1));
    if (length_ >= kValueStart) {
      value_.append(TextView(&c, 1));
      if (!trailsAValue(c)) valueEnd_ = length_ - kValueStart + 1;
    }
  }
  part.remove_prefix(i);
  if (part.empty()) return;
  if (isPosition()) {
    // Only where the value ends matters from here on.
    for (std::size_t k = part.size(); k-- > 0;) {
      if (!trailsAValue(part[k])) {
        valueEnd_ = length_ + k - kValueStart + 1;
        break;
      }
    }
  }
  length_ += part.size();
}

void LineScan::finish(Stops& stops) const {
  if (isPosition()) {
    TextPrefix<5> value = value_;
    value.resize(valueEnd_);
    stops.positionTexts.push_back(value);
  }
  if (length_ > kHash && head_.view()[kHash] == u'#') {
    // Slice(line, 16, n - 16): the colour leaves out the line's last
    // character, a comma or the closing quote.
    TextPrefix<7> color = color_;
    color.resize(length_ > kValueStart ? length_ - kValueStart : 0);
    stops.colorTexts.emplace_back(color.view());
  }
}

Result scan(TextView path) {
  Result result;
  LineFile file = LineFile::openForReading(path);
  result.problem = file.problem();
  try {
    Text part;
    while (!file.atEnd()) {
      LineScan line;
      bool last = false;
      while (!last) {
        last = file.readLinePart(part);
        line.add(part);
      }
      line.finish(result.stops);
    }
  } catch (const std::bad_alloc&) {
    result.problem = FileProblem::notEnoughMemory;
  }
  return result;
}

}  // namespace tintgrove::GradientScanner
