#include "gradient/gradient_scanner.h"

#include <algorithm>
#include <new>

#include "textfile/line_file.h"
#include "textfile/platform_file.h"

namespace tintgrove::GradientScanner {

namespace {

static_assert(LineScan<char16_t>::kHeadSize >= LineScan<char16_t>::kColorStart + 6);

// What may follow a number at the end of a position line: blanks, a comma,
// the object's or the list's end.
template <class Unit>
bool trailsAValue(Unit c) {
  return c == ' ' || c == '\t' || c == ',' || c == '}' || c == ']';
}

}  // namespace

template <class Unit>
bool LineScan<Unit>::isPosition(const Unit* head, std::size_t length) {
  static constexpr Unit kKey[] = {'p', 'o', 's', 'i', 't', 'i', 'o', 'n'};
  return length >= kKeyStart + 8 && std::equal(kKey, kKey + 8, head + kKeyStart);
}

template <class Unit>
std::size_t LineScan<Unit>::valueEndWith(std::span<const Unit> part, std::size_t start,
                                         std::size_t before) {
  // The value ends at its last character that cannot follow a number,
  // wherever on the line that is.
  for (std::size_t k = part.size(); k-- > 0 && start + k >= kValueStart;) {
    if (!trailsAValue(part[k])) return start + k + 1 - kValueStart;
  }
  return before;
}

template <class Unit>
void LineScan<Unit>::keep(const Unit* head, std::size_t length, bool position,
                          std::size_t valueEnd, KeptTexts<Unit>& kept) {
  using View = typename Prefix<Unit, 5>::View;
  if (position) {
    kept.positions.emplace_back(View(head + kValueStart, std::min<std::size_t>(valueEnd, 5)));
  }
  if (length > kHash && head[kHash] == '#') {
    // Slice(line, 16, n - 16): the colour leaves out the line's last
    // character, a comma or the closing quote.
    const std::size_t size = length > kValueStart ? length - kValueStart : 0;
    kept.colors.emplace_back(View(head + kColorStart, std::min<std::size_t>(size, 6)));
  }
}

template <class Unit>
void LineScan<Unit>::add(std::span<const Unit> part) {
  const std::size_t start = length_;
  if (start < kHeadSize) {
    std::copy_n(part.data(), std::min(part.size(), kHeadSize - start), head_ + start);
  }
  length_ += part.size();
  if (isPosition(head_, length_)) valueEnd_ = valueEndWith(part, start, valueEnd_);
}

template <class Unit>
void LineScan<Unit>::finish(KeptTexts<Unit>& kept) const {
  keep(head_, length_, isPosition(head_, length_), valueEnd_, kept);
}

template <class Unit>
void LineScan<Unit>::scanLine(std::span<const Unit> line, KeptTexts<Unit>& kept) {
  // Most lines of a gradient are no key at all, and a short one cannot be.
  if (line.size() < kKeyStart + 8) return;
  const bool position = isPosition(line.data(), line.size());
  if (!position && !(line.size() > kHash && line[kHash] == '#')) return;
  keep(line.data(), line.size(), position, position ? valueEndWith(line, 0, 0) : 0, kept);
}

template class LineScan<char16_t>;
template class LineScan<unsigned char>;

namespace {

// The lines as characters: each decoded, in parts.
void scanDecodedLines(LineFile& file, KeptTexts<char16_t>& kept) {
  Text part;
  while (!file.atEnd()) {
    LineScan<char16_t> line;
    bool last = false;
    while (!last) {
      last = file.readLinePart(part);
      line.add(part);
    }
    line.finish(kept);
  }
}

// The lines as bytes, where bytes are characters.
class ByteLines final : public LineSink {
 public:
  explicit ByteLines(KeptTexts<unsigned char>& kept) : kept_(kept) {}
  void takeLine(ByteView line) override { LineScan<unsigned char>::scanLine(line, kept_); }
  void takePart(ByteView part, bool last) override {
    line_.add(part);
    if (last) {
      line_.finish(kept_);
      line_ = {};
    }
  }

 private:
  KeptTexts<unsigned char>& kept_;
  LineScan<unsigned char> line_;
};

}  // namespace

Result scan(TextView path) {
  Result result;
  LineFile file = LineFile::openForReading(path);
  result.problem = file.problem();
  try {
    // Lines that are neither key (most of them) then cost no decoding.
    if (platform::ansiBytesAreCharacters()) {
      ByteLines lines(result.stops.bytes);
      file.readAllLineBytes(lines);
    } else {
      scanDecodedLines(file, result.stops.text);
    }
  } catch (const std::bad_alloc&) {
    result.problem = FileProblem::notEnoughMemory;
  }
  return result;
}

}  // namespace tintgrove::GradientScanner
