// The Windows API as every Win32 file of the program includes it, and the
// one conversion its wide strings need.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

#include "textfile/text.h"

namespace tintgrove {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

// Both are UTF-16: the units are copied as they are.
inline std::wstring wide(TextView text) { return std::wstring(text.begin(), text.end()); }
inline Text fromWide(std::wstring_view text) { return Text(text.begin(), text.end()); }

}  // namespace tintgrove
