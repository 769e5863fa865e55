// The reserved words of the POV-Ray 3.7 scene language: a declared name that
// equals one of them stops the parse of the whole include file.
#include <algorithm>
#include <array>
#include <string_view>

#include "gradient/color_map_writer.h"

namespace tintgrove::ColorMapWriter {

namespace {

// Sorted, for the binary search below.
constexpr std::array<std::u16string_view, 10> kReservedWords = {
    u"blue", u"color", u"color_map", u"gray", u"green",
    u"pi",   u"red",   u"rgb",       u"x",    u"y",
};

}  // namespace

bool isReservedWord(TextView word) {
  return std::binary_search(kReservedWords.begin(), kReservedWords.end(), word);
}

}  // namespace tintgrove::ColorMapWriter
