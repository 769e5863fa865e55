#include "gradient/color_map_writer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <system_error>

#include "textfile/line_file.h"

namespace tintgrove::ColorMapWriter {

namespace {

// Stored in single precision: its exact value lies a little below 0.0039,
// and the output shows it (35 gives 0.137, not 0.136).
constexpr float kChannelScale = 0.0039f;

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool isSpace(char16_t c) {
  return c == u' ' || (c >= u'\t' && c <= u'\r');
}

// Builds one line in storage that is reused from line to line, so that an
// entry costs no allocation. Pieces are a few characters long: they are
// copied in place rather than through a library call each.
class LineBuilder {
 public:
  void clear() { used_ = 0; }
  void put(TextView piece) {
    char16_t* out = room(piece.size());
    for (std::size_t k = 0; k < piece.size(); ++k) out[k] = piece[k];
    used_ += piece.size();
  }
  // Space for `count` more characters, to be filled and then committed with
  // `added`.
  char16_t* room(std::size_t count) {
    if (buffer_.size() - used_ < count) buffer_.resize(2 * (used_ + count));
    return buffer_.data() + used_;
  }
  void added(std::size_t count) { used_ += count; }
  TextView text() const { return TextView(buffer_.data(), used_); }

 private:
  Text buffer_ = Text(128, u' ');
  std::size_t used_ = 0;
};

// A channel text of a found code ("0.004" to "0.998"), padded so that it is
// copied as one fixed-size block.
struct ChannelPiece {
  static constexpr std::size_t kRoom = 8;
  char16_t chars[kRoom] = {};
  std::size_t size = 0;
};

void put(LineBuilder& line, const ChannelPiece& piece) {
  std::memcpy(line.room(ChannelPiece::kRoom), piece.chars, sizeof piece.chars);
  line.added(piece.size);
}

// Digits with at most a sign in front.
bool isBareInteger(TextView text) {
  if (!text.empty() && (text[0] == u'-' || text[0] == u'+')) text.remove_prefix(1);
  return !text.empty() && std::all_of(text.begin(), text.end(), isDigit);
}

// Slice(text, 1, 5), then "00" when it is shorter than four characters; a
// bare integer gets a fraction instead, so that 1 stays 1.000 rather than
// becoming 100.
void putPositionText(LineBuilder& line, TextView text) {
  const TextView kept = text.substr(0, 5);
  line.put(kept);
  if (kept.size() < 4) line.put(isBareInteger(kept) ? u".000" : u"00");
}

}  // namespace

Text positionText(TextView text) {
  LineBuilder line;
  putPositionText(line, text);
  return Text(line.text());
}

float readPlainDecimal(TextView text) {
  std::size_t i = 0;
  while (i < text.size() && isSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  // Collect the longest prefix as ASCII for the locale-free converter.
  std::string number;
  std::size_t digits = 0;
  while (i < text.size() && isDigit(text[i])) number += char(text[i++]), ++digits;
  if (i < text.size() && text[i] == u'.') {
    std::size_t j = i + 1;
    std::string fraction = ".";
    while (j < text.size() && isDigit(text[j])) fraction += char(text[j++]), ++digits;
    if (digits == 0) return 0.0f;
    number += fraction;
    i = j;
  }
  if (digits == 0) return 0.0f;
  if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) {
      exponent += char(text[j++]);
    }
    if (j < text.size() && isDigit(text[j])) {
      while (j < text.size() && isDigit(text[j])) exponent += char(text[j++]);
      number += exponent;
    }
  }
  const char* first = number.data();
  const char* last = first + number.size();
  float value = 0.0f;
  if (std::from_chars(first, last, value).ec == std::errc::result_out_of_range) {
    // Out of single range: too large gives infinity and too small zero, as
    // a C reader does. Double precision tells which, except far beyond it.
    double wide = 0.0;
    if (std::from_chars(first, last, wide).ec == std::errc()) {
      value = static_cast<float>(wide);
    } else {
      value = number.find("e-") == std::string::npos
                  ? std::numeric_limits<float>::infinity()
                  : 0.0f;
    }
  }
  return negative ? -value : value;
}

Text channelNumberText(float channelInteger) {
  // One rounding to single precision, then +0 so that -0 prints as 0.000.
  const float value = channelInteger * kChannelScale + 0.0f;
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer,
                                    static_cast<double>(value),
                                    std::chars_format::fixed, 3);
  return Text(buffer, result.ptr);
}

Text declaredName(TextView baseName) {
  Text name;
  name.reserve(baseName.size() + 1);
  for (std::size_t i = 0; i < baseName.size(); ++i) {
    const char16_t c = baseName[i];
    const bool keep = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                      isDigit(c) || c == u'_';
    name.push_back(keep ? c : u'_');
    // A character outside the Basic Multilingual Plane is one character,
    // though it takes two units.
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < baseName.size() &&
        baseName[i + 1] >= 0xDC00 && baseName[i + 1] <= 0xDFFF) {
      ++i;
    }
  }
  if (name.empty() || isDigit(name[0]) || isReservedWord(name)) {
    name.insert(name.begin(), u'_');
  }
  return name;
}

namespace {

Outcome writeInto(LineFile& file, const RunState& state);

}  // namespace

Outcome write(const RunState& state) {
  LineFile file = LineFile::createForWriting(state.includePath);
  if (!file.isOpen()) {
    Outcome outcome;
    outcome.problem = file.problem();
    return outcome;
  }
  Outcome outcome;
  try {
    outcome = writeInto(file, state);
  } catch (...) {
    // Whatever stopped the write, the old include stays as it was.
    file.abandon();
    throw;
  }
  const bool allWritten = file.writesSucceeded();
  outcome.written = file.close() && allWritten;
  outcome.problem = file.problem();
  return outcome;
}

namespace {

Outcome writeInto(LineFile& file, const RunState& state) {
  Outcome outcome;

  Text line;
  line = u"//   converted to POV color_map from ";
  line += state.baseName;
  line += u".json";
  file.writeLine(line);
  line = u"//   position counts: ";
  line += integerText(state.positionCount());
  file.writeLine(line);
  file.writeLine(u"//   orlavex 03.20.26");
  file.writeLine(u"//  Using Huebrook for the .json file - Nice Gradient Editor ");
  file.writeLine(u"");
  line = u"#declare ";
  line += declaredName(state.baseName);
  line += u" = ";
  file.writeLine(line);
  file.writeLine(u"   color_map {");

  const HexCodeTable& table = state.codeTable;
  // Every found code gives a line number from 1 to 256: format each once.
  std::array<ChannelPiece, HexCodeTable::kLookupLines + 1> channelPieces;
  for (std::size_t k = 1; k < channelPieces.size(); ++k) {
    const Text text = channelNumberText(static_cast<float>(k));
    // Always five characters, "0.004" to "0.998".
    channelPieces[k].size = std::min(text.size(), ChannelPiece::kRoom);
    std::copy_n(text.begin(), channelPieces[k].size, channelPieces[k].chars);
  }
  LineBuilder entry;
  Text notFound;
  // Only the first five characters of a position and the first six of a
  // colour are ever used.
  char16_t position[5], color[6];
  for (std::int64_t i = 1; i <= state.colorCount(); ++i) {
    entry.clear();
    entry.put(u"    [");
    putPositionText(entry, TextView(position, state.positionTexts.copyPrefix(i, position, 5)));
    entry.put(u"   rgb <");
    const TextView colorCodes(color, state.colorTexts.copyPrefix(i, color, 6));
    for (std::size_t channel = 0; channel < 3; ++channel) {
      if (channel > 0) entry.put(u", ");
      // Slice(color, 1 + 2 * channel, 2)
      const TextView code = 2 * channel < colorCodes.size()
                                ? colorCodes.substr(2 * channel, 2)
                                : TextView();
      if (const std::int64_t tableLine = table.lineOf(code); tableLine >= 1) {
        put(entry, channelPieces[static_cast<std::size_t>(tableLine)]);
      } else {
        ++outcome.codesNotFound;
        notFound = code;
        notFound += u" ? ";
        entry.put(channelNumberText(std::nearbyint(readPlainDecimal(notFound))));
      }
    }
    entry.put(u">]");
    file.writeLine(entry.text());
  }
  file.writeLine(u"   }");
  return outcome;
}

}  // namespace

}  // namespace tintgrove::ColorMapWriter
