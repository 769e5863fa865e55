// UTF-8 file names: every character as glibc's converter writes and reads
// it, and every byte of what is not UTF-8 kept as itself.
#include "textfile/utf8.h"

#include <iconv.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "test_support.h"

namespace tintgrove {
namespace {

// glibc's converter between UTF-8 and UTF-16LE, an outside reference.
class SystemConverter {
 public:
  SystemConverter(const char* to, const char* from) : converter_(::iconv_open(to, from)) {
    EXPECT_NE(converter_, reinterpret_cast<iconv_t>(-1));
  }
  ~SystemConverter() { ::iconv_close(converter_); }
  // False when the converter refuses the input as invalid.
  bool convert(std::string_view in, std::string& out) {
    ::iconv(converter_, nullptr, nullptr, nullptr, nullptr);
    char buffer[64];
    char* source = const_cast<char*>(in.data());
    std::size_t left = in.size();
    char* target = buffer;
    std::size_t room = sizeof buffer;
    if (::iconv(converter_, &source, &left, &target, &room) == static_cast<std::size_t>(-1)) {
      return false;
    }
    out.assign(buffer, target);
    return true;
  }

 private:
  iconv_t converter_;
};

std::string littleEndian(TextView text) {
  std::string bytes;
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

// Every character from U+0001 to U+10FFFF is written as glibc writes it,
// and glibc's bytes read back as the same character.
TEST(Utf8Test, EveryCharacterAgreesWithTheSystemConverter) {
  SystemConverter toUtf8("UTF-8", "UTF-16LE");
  for (char32_t code = 1; code <= 0x10FFFF; ++code) {
    if (code >= 0xD800 && code <= 0xDFFF) continue;
    Text text;
    if (code < 0x10000) {
      text.push_back(static_cast<char16_t>(code));
    } else {
      text.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
      text.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    }
    std::string expected;
    ASSERT_TRUE(toUtf8.convert(littleEndian(text), expected)) << std::hex << static_cast<std::uint32_t>(code);
    ASSERT_EQ(textToUtf8(text), expected) << "U+" << std::hex << static_cast<std::uint32_t>(code);
    ASSERT_EQ(utf8ToText(expected), text) << "U+" << std::hex << static_cast<std::uint32_t>(code);
  }
}

// What glibc refuses as UTF-8 is kept byte for byte: each byte becomes
// U+DC80 to U+DCFF and comes back as itself.
TEST(Utf8Test, WhatTheSystemRefusesKeepsEveryByte) {
  struct Case {
    std::string_view bytes;
    const char16_t* text;
  };
  const Case cases[] = {
      {"\xE0\x9F\xBF", u"\xDCE0\xDC9F\xDCBF"},          // U+07FF in three bytes
      {"\xF0\x8F\xBF\xBF", u"\xDCF0\xDC8F\xDCBF\xDCBF"},  // U+FFFF in four bytes
      {"\xED\xBF\xBF", u"\xDCED\xDCBF\xDCBF"},          // the surrogate U+DFFF
      {"\xF4\x90\x80\x80", u"\xDCF4\xDC90\xDC80\xDC80"},  // U+110000
      {"\xF7\xBF\xBF\xBF", u"\xDCF7\xDCBF\xDCBF\xDCBF"},  // far above U+10FFFF
      {"\xC1\xBF", u"\xDCC1\xDCBF"},                    // U+007F in two bytes
      {"\xC3\xC3\xA9", u"\xDCC3\u00E9"},                // a lead byte where a continuation belongs
      {"\xE2\x82\xE2\x82\xAC", u"\xDCE2\xDC82\u20AC"},
      {"\xF0\x9F\x8C", u"\xDCF0\xDC9F\xDC8C"},          // cut short
  };
  SystemConverter toText("UTF-16LE", "UTF-8");
  for (const Case& c : cases) {
    std::string ignored;
    EXPECT_FALSE(toText.convert(c.bytes, ignored)) << "glibc takes it";
    EXPECT_EQ(utf8ToText(c.bytes), c.text) << test::shown(c.text);
    EXPECT_EQ(textToUtf8(c.text), c.bytes) << test::shown(c.text);
  }
  // A sequence cut short by the end of the name, whatever bytes follow it
  // in memory.
  const std::string_view whole = "\xC3\xA9";
  EXPECT_EQ(utf8ToText(whole.substr(0, 1)), u"\xDCC3");
  EXPECT_EQ(utf8ToText(std::string_view("\xF4\x8F\xBF\xBF", 3)), u"\xDCF4\xDC8F\xDCBF");
}

// A lone surrogate that stands for no byte is written in the three-byte
// form, so the text still comes back from the bytes unchanged... as far as a
// name can: these bytes are not UTF-8 and read as their escapes.
TEST(Utf8Test, OtherLoneSurrogatesTakeTheThreeByteForm) {
  struct Case {
    const char16_t* text;
    std::string_view bytes;
  };
  const Case cases[] = {
      {u"\xD800", "\xED\xA0\x80"},  {u"\xDBFF" u"a", "\xED\xAF\xBF" "a"},
      {u"\xDC00", "\xED\xB0\x80"},  {u"\xDC7F", "\xED\xB1\xBF"},
      {u"\xDD00", "\xED\xB4\x80"},  {u"\xDFFF", "\xED\xBF\xBF"},
      {u"\xDC80", "\x80"},          {u"\xDCFF", "\xFF"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(textToUtf8(c.text), c.bytes) << test::shown(c.text);
  }
}

}  // namespace
}  // namespace tintgrove
