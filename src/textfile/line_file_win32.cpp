// Win32 files and the ANSI code page under LineFile.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>

#include "textfile/platform_file.h"

namespace tintgrove::platform {

namespace {

static_assert(sizeof(FileId) >= sizeof(HANDLE));
static_assert(sizeof(wchar_t) == sizeof(char16_t));

HANDLE toHandle(FileId file) { return reinterpret_cast<HANDLE>(file); }
FileId toFileId(HANDLE handle) { return reinterpret_cast<FileId>(handle); }

// The API wants a NUL-terminated name; a name with a NUL inside would name
// some other file, so it names none.
bool usablePath(TextView path, std::wstring& name) {
  if (path.empty() || path.find(u'\0') != TextView::npos) return false;
  name.assign(path.begin(), path.end());
  return true;
}

// Pieces handed to one call of an API that counts in int or DWORD.
constexpr std::size_t kLargestPiece = 1u << 30;

}  // namespace

FileId openForReading(TextView path) {
  std::wstring name;
  if (!usablePath(path, name)) return kNoFile;
  HANDLE handle = ::CreateFileW(name.c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return kNoFile;
  // Pipes, consoles and devices could block the run or never end.
  if (::GetFileType(handle) != FILE_TYPE_DISK) {
    ::CloseHandle(handle);
    return kNoFile;
  }
  return toFileId(handle);
}

FileId createForWriting(TextView path) {
  std::wstring name;
  if (!usablePath(path, name)) return kNoFile;
  HANDLE handle = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    // A file that may be written but not read (or replaced) is still ours
    // to empty and fill.
    handle = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr,
                           TRUNCATE_EXISTING, 0, nullptr);
  }
  if (handle == INVALID_HANDLE_VALUE) return kNoFile;
  // A pipe with no reader would block the run; disks and devices such as
  // NUL take what they are given.
  if (::GetFileType(handle) == FILE_TYPE_PIPE) {
    ::CloseHandle(handle);
    return kNoFile;
  }
  return toFileId(handle);
}

std::size_t readBytes(FileId file, unsigned char* into, std::size_t size) {
  DWORD got = 0;
  const auto wanted = static_cast<DWORD>(std::min(size, kLargestPiece));
  if (!::ReadFile(toHandle(file), into, wanted, &got, nullptr)) return 0;
  return got;
}

bool writeBytes(FileId file, const unsigned char* bytes, std::size_t size) {
  while (size > 0) {
    const auto piece = static_cast<DWORD>(std::min(size, kLargestPiece));
    DWORD put = 0;
    // A short write is a failed write: the rest would land out of order.
    if (!::WriteFile(toHandle(file), bytes, piece, &put, nullptr) ||
        put != piece) {
      return false;
    }
    bytes += piece;
    size -= piece;
  }
  return true;
}

bool seekBackOne(FileId file) {
  // With the high part given, a position past 4 GiB is not taken for an error.
  LONG high = -1;
  const DWORD low = ::SetFilePointer(toHandle(file), -1, &high, FILE_CURRENT);
  return low != INVALID_SET_FILE_POINTER || ::GetLastError() == NO_ERROR;
}

bool closeFile(FileId file) { return ::CloseHandle(toHandle(file)) != 0; }

void decodeAnsi(const unsigned char* bytes, std::size_t size, Text& out) {
  out.clear();
  while (size > 0) {
    const auto piece = static_cast<int>(std::min(size, kLargestPiece));
    const auto* chars = reinterpret_cast<const char*>(bytes);
    const int units =
        ::MultiByteToWideChar(CP_ACP, 0, chars, piece, nullptr, 0);
    if (units <= 0) return;
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(units));
    ::MultiByteToWideChar(CP_ACP, 0, chars, piece,
                          reinterpret_cast<wchar_t*>(out.data() + start),
                          units);
    bytes += piece;
    size -= static_cast<std::size_t>(piece);
  }
}

void encodeAnsi(TextView text, std::string& out) {
  out.clear();
  while (!text.empty()) {
    std::size_t count = std::min(text.size(), kLargestPiece);
    // Keep a surrogate pair in one piece.
    if (count < text.size() && text[count - 1] >= 0xD800 &&
        text[count - 1] <= 0xDBFF) {
      --count;
    }
    const auto piece = static_cast<int>(count);
    const auto* units = reinterpret_cast<const wchar_t*>(text.data());
    const int size = ::WideCharToMultiByte(CP_ACP, 0, units, piece, nullptr,
                                           0, nullptr, nullptr);
    if (size <= 0) return;
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(size));
    ::WideCharToMultiByte(CP_ACP, 0, units, piece, out.data() + start, size,
                          nullptr, nullptr);
    text.remove_prefix(count);
  }
}

}  // namespace tintgrove::platform
