// The narrow seam between LineFile and the operating system. One file per
// platform implements it (line_file_posix.cpp, line_file_win32.cpp); nothing
// above this header knows which one is built.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "textfile/file_problem.h"
#include "textfile/text.h"

namespace tintgrove::platform {

// An open file of the operating system (a descriptor or a HANDLE).
using FileId = std::intptr_t;
inline constexpr FileId kNoFile = -1;

// An existing regular file, read only, shared with nobody; kNoFile on
// failure, with the reason in `problem`.
FileId openForReading(TextView path, FileProblem& problem);
// A new version of the file at `path`: the bytes go to a new file in the same
// folder that replaces the old one only when closeFile keeps it, so a failed
// write never leaves a partial file under that name. Where the folder takes
// no new file, an existing file is emptied and written in place instead.
// kNoFile on failure, with the reason in `problem`; the old file is then as
// it was.
FileId createForWriting(TextView path, FileProblem& problem);
// Up to `size` bytes; 0 at the end of the data or when the read failed.
std::size_t readBytes(FileId file, unsigned char* into, std::size_t size);
// True only when every byte was written; otherwise the reason in `problem`.
bool writeBytes(FileId file, const unsigned char* bytes, std::size_t size,
                FileProblem& problem);
// Moves the file position back by one byte.
bool seekBackOne(FileId file);
// Closes the file. A file from createForWriting takes the place of the old
// one when `keep` is true, and is removed otherwise. True when all went well;
// otherwise the reason in `problem`.
bool closeFile(FileId file, bool keep, FileProblem& problem);

// True when both paths name one existing file, through links or not.
bool sameFile(TextView a, TextView b);
// The characters that separate folders in a path.
TextView folderSeparators();
// `path` made absolute against the working folder; the empty text when that
// folder cannot be told.
Text absolutePath(TextView path);
// The folder the running program was started from, or the empty text.
Text programFolder();

// The ANSI code page: `out` becomes the decoded bytes / the encoded text.
// Decoding never fails; a character the code page lacks is encoded as the
// platform's default replacement.
void decodeAnsi(const unsigned char* bytes, std::size_t size, Text& out);
void encodeAnsi(TextView text, std::string& out);
// True when the code page makes every byte one character and back again,
// each byte below 80 (hex) the ASCII character of that code and no other
// byte an ASCII character: a line can then be examined as its bytes, and
// bytes kept from it written back as they are.
bool ansiBytesAreCharacters();

}  // namespace tintgrove::platform
