// The narrow seam between LineFile and the operating system. One file per
// platform implements it (line_file_posix.cpp, line_file_win32.cpp); nothing
// above this header knows which one is built.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "textfile/text.h"

namespace tintgrove::platform {

// An open file of the operating system (a descriptor or a HANDLE).
using FileId = std::intptr_t;
inline constexpr FileId kNoFile = -1;

// An existing regular file, read only, shared with nobody; kNoFile on failure.
FileId openForReading(TextView path);
// A file created or emptied for writing, shared with nobody; kNoFile on
// failure, in which case an existing file keeps its content.
FileId createForWriting(TextView path);
// Up to `size` bytes; 0 at the end of the data or when the read failed.
std::size_t readBytes(FileId file, unsigned char* into, std::size_t size);
// True only when every byte was written.
bool writeBytes(FileId file, const unsigned char* bytes, std::size_t size);
// Moves the file position back by one byte.
bool seekBackOne(FileId file);
// True when the file was closed cleanly.
bool closeFile(FileId file);

// The ANSI code page: `out` becomes the decoded bytes / the encoded text.
// Decoding never fails; a character the code page lacks is encoded as the
// platform's default replacement.
void decodeAnsi(const unsigned char* bytes, std::size_t size, Text& out);
void encodeAnsi(TextView text, std::string& out);

}  // namespace tintgrove::platform
