#include "gradient/color_map_writer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>
#include <string_view>

#include "gradient/entry_text.h"
#include "gradient/pov_names.h"
#include "textfile/line_file.h"

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

// One entry line of ASCII, put together in place as its bytes: a million of
// them cost no allocation. The longest entry has 44 characters ("    [", a
// position of seven, "   rgb <", three channels of six, two ", ", ">]");
// the room is ample, and nothing is written past it.
class AsciiLine {
 public:
  // The fixed pieces, of a size known here.
  template <std::size_t N>
  void put(const char (&literal)[N]) {
    if (kRoom - size_ < N - 1) return;
    std::copy_n(literal, N - 1, bytes_ + size_);
    size_ += N - 1;
  }
  void put(const ChannelText& channel) {
    if (kRoom - size_ < sizeof channel.bytes) return;
    std::copy_n(channel.bytes, sizeof channel.bytes, bytes_ + size_);
    size_ += channel.size;
  }
  // Only for characters below 80 (hex).
  void putText(TextView text) {
    const std::size_t count = std::min(text.size(), kRoom - size_);
    for (std::size_t i = 0; i < count; ++i) bytes_[size_ + i] = static_cast<char>(text[i]);
    size_ += count;
  }
  std::string_view view() const { return std::string_view(bytes_, size_); }

 private:
  static constexpr std::size_t kRoom = 64;
  char bytes_[kRoom];
  std::size_t size_ = 0;
};

// The same line as text, for a position with other characters.
class TextLine {
 public:
  void put(std::string_view ascii) { text_.append(ascii.begin(), ascii.end()); }
  void put(const ChannelText& channel) { put(channel.view()); }
  void putText(TextView text) { text_ += text; }
  TextView view() const { return text_; }

 private:
  Text text_;
};

// "    [0.250   rgb <0.109, 0.109, 0.230>]"
template <class Line>
Line entryLine(TextView position, const ChannelText* const (&channels)[3]) {
  Line line;
  line.put("    [");
  line.putText(position);
  line.put("   rgb <");
  line.put(*channels[0]);
  line.put(", ");
  line.put(*channels[1]);
  line.put(", ");
  line.put(*channels[2]);
  line.put(">]");
  return line;
}

bool isAscii(TextView text) {
  return std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; });
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

  // A found code gives a line number from 1 to 256: each is formatted once.
  std::array<ChannelText, HexCodeTable::kLookupLines + 1> channelTexts;
  for (std::size_t k = 1; k < channelTexts.size(); ++k) {
    channelTexts[k] = ChannelText::of(static_cast<float>(k));
  }
  ChannelText notFound[3];
  Text notFoundCode;
  for (std::size_t i = 0; i < stops.colorTexts.size(); ++i) {
    const TextView color = stops.colorTexts[i].view();
    const ChannelText* channels[3];
    for (std::size_t channel = 0; channel < 3; ++channel) {
      // Slice(color, 1 + 2 * channel, 2): past the colour's end, no code.
      const std::size_t start = 2 * channel;
      const TextView code = start < color.size() ? color.substr(start, 2) : TextView();
      if (const std::int64_t tableLine = table.lineOf(code); tableLine >= 1) {
        channels[channel] = &channelTexts[static_cast<std::size_t>(tableLine)];
      } else {
        ++outcome.codesNotFound;
        notFoundCode = code;
        notFoundCode += u" ? ";
        notFound[channel] =
            ChannelText::of(std::nearbyint(readPlainDecimal(notFoundCode)));
        channels[channel] = &notFound[channel];
      }
    }
    // A stop without a position of its own gets the empty one.
    const TextPrefix<7> position = positionText(
        i < stops.positionTexts.size() ? stops.positionTexts[i].view() : TextView());
    if (isAscii(position.view())) {
      file.writeAsciiLine(entryLine<AsciiLine>(position.view(), channels).view());
    } else {
      file.writeLine(entryLine<TextLine>(position.view(), channels).view());
    }
  }
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
