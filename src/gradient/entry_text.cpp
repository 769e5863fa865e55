#include "gradient/entry_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace tintgrove {

namespace {

// Stored in single precision: its exact value lies a little below 0.0039,
// and the output shows it (35 gives 0.137, not 0.136).
constexpr float kChannelScale = 0.0039f;

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool isSpace(char16_t c) {
  return c == u' ' || (c >= u'\t' && c <= u'\r');
}

// Digits with at most a sign in front.
template <class View>
bool isBareInteger(View text) {
  std::size_t i = 0;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) i = 1;
  if (i == text.size()) return false;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  return true;
}

template <class Unit>
Prefix<Unit, 7> paddedPosition(typename Prefix<Unit, 7>::View position) {
  using View = typename Prefix<Unit, 7>::View;
  const View kept(position.data(), std::min<std::size_t>(position.size(), 5));
  Prefix<Unit, 7> text(kept);
  // A bare integer gets a fraction rather than digits, so that 1 stays 1.000
  // rather than becoming 100.
  static constexpr Unit kFraction[] = {'.', '0', '0', '0'};
  static constexpr Unit kZeros[] = {'0', '0'};
  if (kept.size() < 4) {
    text.append(isBareInteger(kept) ? View(kFraction, 4) : View(kZeros, 2));
  }
  return text;
}

}  // namespace

TextPrefix<7> positionText(TextView position) { return paddedPosition<char16_t>(position); }

BytePrefix<7> positionText(ByteView position) {
  return paddedPosition<unsigned char>(position);
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

}  // namespace tintgrove
