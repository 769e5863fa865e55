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

// The characters of `count` units from `units`.
template <std::size_t N>
TextPrefix<N> kept(const char16_t* units, std::size_t count) {
  return TextPrefix<N>(TextView(units, count));
}

template <std::size_t N>
TextPrefix<N> kept(const unsigned char* bytes, std::size_t count) {
  // Bytes below 80 (hex) are their own characters; others need the code page.
  char16_t units[N];
  bool ascii = true;
  for (std::size_t i = 0; i < count; ++i) {
    units[i] = bytes[i];
    ascii &= bytes[i] < 0x80;
  }
  if (ascii) return TextPrefix<N>(TextView(units, count));
  Text decoded;
  platform::decodeAnsi(bytes, count, decoded);
  return TextPrefix<N>(decoded);
}

}  // namespace

template <class Unit>
bool LineScan<Unit>::isPosition() const {
  static constexpr char kKey[] = "position";
  return length_ >= kKeyStart + 8 && std::equal(kKey, kKey + 8, head_ + kKeyStart);
}

template <class Unit>
void LineScan<Unit>::add(std::span<const Unit> part) {
  const std::size_t start = length_;
  if (start < kHeadSize) {
    std::copy_n(part.data(), std::min(part.size(), kHeadSize - start), head_ + start);
  }
  length_ += part.size();
  if (!isPosition()) return;
  // A position's value ends at its last character that cannot follow a
  // number, wherever on the line that is.
  for (std::size_t k = part.size(); k-- > 0 && start + k >= kValueStart;) {
    if (!trailsAValue(part[k])) {
      valueEnd_ = start + k + 1 - kValueStart;
      break;
    }
  }
}

template <class Unit>
void LineScan<Unit>::finish(Stops& stops) const {
  if (isPosition()) {
    stops.positionTexts.push_back(
        kept<5>(head_ + kValueStart, std::min<std::size_t>(valueEnd_, 5)));
  }
  if (length_ > kHash && head_[kHash] == '#') {
    // Slice(line, 16, n - 16): the colour leaves out the line's last
    // character, a comma or the closing quote.
    const std::size_t size = length_ > kValueStart ? length_ - kValueStart : 0;
    stops.colorTexts.push_back(kept<6>(head_ + kColorStart, std::min<std::size_t>(size, 6)));
  }
}

template class LineScan<char16_t>;
template class LineScan<unsigned char>;

namespace {

bool readPart(LineFile& file, Text& part) { return file.readLinePart(part); }
bool readPart(LineFile& file, ByteView& part) { return file.readLineBytes(part); }

// Every line of the file, in parts of `Part`: decoded text or the bytes.
template <class Unit, class Part>
void scanLines(LineFile& file, Stops& stops) {
  Part part;
  while (!file.atEnd()) {
    LineScan<Unit> line;
    bool last = false;
    while (!last) {
      last = readPart(file, part);
      line.add(part);
    }
    line.finish(stops);
  }
}

}  // namespace

Result scan(TextView path) {
  Result result;
  LineFile file = LineFile::openForReading(path);
  result.problem = file.problem();
  try {
    // Lines that are neither key (most of them) then cost no decoding.
    if (platform::ansiBytesAreCharacters()) {
      scanLines<unsigned char, ByteView>(file, result.stops);
    } else {
      scanLines<char16_t, Text>(file, result.stops);
    }
  } catch (const std::bad_alloc&) {
    result.problem = FileProblem::notEnoughMemory;
  }
  return result;
}

}  // namespace tintgrove::GradientScanner
