#include "gradient/pov_names.h"

namespace tintgrove {

namespace {

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

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
    if (isHighSurrogate(c) && i + 1 < baseName.size() && isLowSurrogate(baseName[i + 1])) {
      ++i;
    }
  }
  // The reserved words are checked on the mended name: "color map" becomes
  // one.
  if (name.empty() || isDigit(name[0]) || isReservedWord(name)) {
    name.insert(name.begin(), u'_');
  }
  return name;
}

}  // namespace tintgrove
