#include "gradient/color_map_writer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>
#include <string_view>

#include "gradient/entry_text.h"
#include "gradient/pov_names.h"
#include "textfile/line_file.h"
#include "textfile/platform_file.h"

namespace tintgrove::ColorMapWriter {

namespace {

// A channel's text, "0.250" or "-0.035": a few ASCII characters, kept in
// a block of fixed size that copies without a call.
struct ChannelText {
  char bytes[8] = {};
  std::size_t size = 0;

  static ChannelText of(float channelInteger) {
    const Text text = channelNumberText(channelInteger);
    ChannelText channel;
    channel.size = std::min(text.size(), sizeof channel.bytes);
    std::copy_n(text.begin(), channel.size, channel.bytes);
    return channel;
  }
  std::string_view view() const { return std::string_view(bytes, size); }
};

// One entry line put together in place as the code page's bytes, where the
// kept texts are the file's bytes: a million of them cost no allocation.
// Each piece is copied as a block of fixed size, at most eight bytes, which
// costs no call; entryLine puts nine pieces, so the room always suffices.
class ByteLine {
 public:
  // The fixed pieces, ASCII and so their own bytes.
  template <std::size_t N>
  void put(const char (&literal)[N]) {
    static_assert(N - 1 <= kLargestPiece);
    std::copy_n(literal, N - 1, bytes_ + size_);
    size_ += N - 1;
  }
  void put(const ChannelText& channel) {
    static_assert(sizeof channel.bytes <= kLargestPiece);
    std::copy_n(channel.bytes, sizeof channel.bytes, bytes_ + size_);
    size_ += channel.size;
  }
  void put(const BytePrefix<7>& position) {
    std::copy_n(position.view().data(), 7, bytes_ + size_);
    size_ += position.size();
  }
  ByteView view() const { return ByteView(bytes_, size_); }

 private:
  static constexpr std::size_t kLargestPiece = 8;
  unsigned char bytes_[9 * kLargestPiece];
  std::size_t size_ = 0;
};

// The same line as text, where the kept texts are characters.
class TextLine {
 public:
  void put(std::string_view ascii) { text_.append(ascii.begin(), ascii.end()); }
  void put(const ChannelText& channel) { put(channel.view()); }
  void put(const TextPrefix<7>& position) { text_ += position.view(); }
  TextView view() const { return text_; }

 private:
  Text text_;
};

void writeLine(LineFile& file, const ByteLine& line) { file.writeLineBytes(line.view()); }
void writeLine(LineFile& file, const TextLine& line) { file.writeLine(line.view()); }

// "    [0.250   rgb <0.109, 0.109, 0.230>]": nine pieces.
template <class Line, class Position>
Line entryLine(const Position& position, const ChannelText* const (&channels)[3]) {
  Line line;
  line.put("    [");
  line.put(position);
  line.put("   rgb <");
  line.put(*channels[0]);
  line.put(", ");
  line.put(*channels[1]);
  line.put(", ");
  line.put(*channels[2]);
  line.put(">]");
  return line;
}

// The table line of a colour code, or 0.
std::int64_t lineOfCode(const HexCodeTable& table, TextView code, Text&) {
  return table.lineOf(code);
}

std::int64_t lineOfCode(const HexCodeTable& table, ByteView code, Text& decoded) {
  // ASCII bytes are their characters; the rare others go through the code
  // page.
  char16_t units[2];
  for (std::size_t i = 0; i < code.size(); ++i) {
    if (code[i] >= 0x80) {
      platform::decodeAnsi(code.data(), code.size(), decoded);
      return table.lineOf(decoded);
    }
    units[i] = code[i];
  }
  return table.lineOf(TextView(units, code.size()));
}

// A code that is not in the table reads as its leading number.
ChannelText notFoundText(TextView code, Text& text) {
  text = code;
  text += u" ? ";
  return ChannelText::of(std::nearbyint(readPlainDecimal(text)));
}

ChannelText notFoundText(ByteView code, Text& text) {
  Text decoded;
  platform::decodeAnsi(code.data(), code.size(), decoded);
  return notFoundText(decoded, text);
}

// The entries of the kept texts: bytes go into ByteLines, characters into
// TextLines.
template <class Unit, class Line>
void writeEntries(LineFile& file, const KeptTexts<Unit>& stops, const HexCodeTable& table,
                  Outcome& outcome) {
  // A found code gives a line number from 1 to 256: each is formatted once.
  std::array<ChannelText, HexCodeTable::kLookupLines + 1> channelTexts;
  for (std::size_t k = 1; k < channelTexts.size(); ++k) {
    channelTexts[k] = ChannelText::of(static_cast<float>(k));
  }
  using View = typename Prefix<Unit, 6>::View;
  ChannelText notFound[3];
  Text scratch;
  // Walked in step with the colours.
  auto nextPosition = stops.positions.begin();
  for (const Prefix<Unit, 6>& colorText : stops.colors) {
    const View color = colorText.view();
    const ChannelText* channels[3];
    for (std::size_t channel = 0; channel < 3; ++channel) {
      // Slice(color, 1 + 2 * channel, 2): past the colour's end, no code.
      const std::size_t start = std::min(2 * channel, color.size());
      const View code(color.data() + start, std::min<std::size_t>(color.size() - start, 2));
      if (const std::int64_t tableLine = lineOfCode(table, code, scratch); tableLine >= 1) {
        channels[channel] = &channelTexts[static_cast<std::size_t>(tableLine)];
      } else {
        ++outcome.codesNotFound;
        notFound[channel] = notFoundText(code, scratch);
        channels[channel] = &notFound[channel];
      }
    }
    // A stop without a position of its own gets the empty one.
    View ownPosition;
    if (nextPosition != stops.positions.end()) {
      ownPosition = nextPosition->view();
      ++nextPosition;
    }
    writeLine(file, entryLine<Line>(positionText(ownPosition), channels));
  }
}

void writeLines(LineFile& file, TextView baseName, const Stops& stops,
                const HexCodeTable& table, Outcome& outcome) {
  Text line = u"//   converted to POV color_map from ";
  line += baseName;
  line += u".json";
  file.writeLine(line);
  file.writeLine(u"//   position counts: " + integerText(stops.positionCount()));
  file.writeLine(u"//   orlavex 03.20.26");
  file.writeLine(u"//  Using Huebrook for the .json file - Nice Gradient Editor ");
  file.writeLine(u"");
  file.writeLine(u"#declare " + declaredName(baseName) + u" = ");
  file.writeLine(u"   color_map {");
  // Only one of the two holds stops.
  writeEntries<unsigned char, ByteLine>(file, stops.bytes, table, outcome);
  writeEntries<char16_t, TextLine>(file, stops.text, table, outcome);
  file.writeLine(u"   }");
}

}  // namespace

Outcome write(TextView includePath, TextView baseName, const Stops& stops,
              const HexCodeTable& table) {
  Outcome outcome;
  LineFile file = LineFile::createForWriting(includePath);
  if (!file.isOpen()) {
    outcome.problem = file.problem();
    return outcome;
  }
  try {
    writeLines(file, baseName, stops, table, outcome);
  } catch (const std::bad_alloc&) {
    // The file goes out of scope unclosed: the old include stays as it was.
    outcome.problem = FileProblem::notEnoughMemory;
    return outcome;
  }
  outcome.written = file.close();
  outcome.problem = file.problem();
  return outcome;
}

}  // namespace tintgrove::ColorMapWriter
