// UTF-8 at the POSIX edges: file names, the terminal and the desktop dialogs.
#pragma once

#include <string>
#include <string_view>

#include "textfile/text.h"

namespace tintgrove {

// Bytes that are not valid UTF-8 become the lone surrogates U+DC80 to U+DCFF,
// one per byte, so that any file name comes back unchanged from textToUtf8.
Text utf8ToText(std::string_view bytes);

// The reverse: U+DC80 to U+DCFF alone become the bytes 80 to FF again; any
// other lone surrogate is written in the three-byte form.
std::string textToUtf8(TextView text);

}  // namespace tintgrove
