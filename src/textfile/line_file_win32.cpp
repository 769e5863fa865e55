// Win32 files and the ANSI code page under LineFile.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "textfile/platform_file.h"
#include "textfile/win32.h"

namespace tintgrove::platform {

namespace {

static_assert(sizeof(FileId) >= sizeof(HANDLE));

HANDLE toHandle(FileId file) { return reinterpret_cast<HANDLE>(file); }
FileId toFileId(HANDLE handle) { return reinterpret_cast<FileId>(handle); }

// The API wants a NUL-terminated name; a name with a NUL inside would name
// some other file, so it names none.
bool usablePath(TextView path, std::wstring& name) {
  if (path.empty() || path.find(u'\0') != TextView::npos) return false;
  name = wide(path);
  return true;
}

// Pieces handed to one call of an API that counts in int or DWORD.
constexpr std::size_t kLargestPiece = 1u << 30;


FileProblem problemOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_DRIVE:
      return FileProblem::notFound;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return FileProblem::inUse;
    case ERROR_ACCESS_DENIED:
      return FileProblem::permissionDenied;
    case ERROR_WRITE_PROTECT:
      return FileProblem::readOnly;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return FileProblem::diskFull;
    case ERROR_FILE_TOO_LARGE:
      return FileProblem::tooLarge;
    case ERROR_PIPE_BUSY:
      return FileProblem::notRegular;
    default:
      return FileProblem::other;
  }
}

// Access is denied to folders as to protected files: tell them apart.
FileProblem openProblem(const std::wstring& name) {
  const DWORD error = ::GetLastError();
  const DWORD attributes = ::GetFileAttributesW(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return FileProblem::notRegular;
  }
  return problemOf(error);
}

// Names that Windows gives to devices whatever the folder or extension:
// a file of such a name cannot be made.
bool isDeviceName(std::wstring_view fileName) {
  std::wstring stem(fileName.substr(0, fileName.find(L'.')));
  while (!stem.empty() && (stem.back() == L' ' || stem.back() == L':')) stem.pop_back();
  for (wchar_t& c : stem) {
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  }
  for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
    if (stem == device) return true;
  }
  // COM0 to COM9 and LPT0 to LPT9, with the superscript digits as well.
  if (stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0)) {
    const wchar_t digit = stem[3];
    return (digit >= L'0' && digit <= L'9') || digit == 0xB9 || digit == 0xB2 ||
           digit == 0xB3;
  }
  return false;
}

std::size_t fileNameStart(std::wstring_view name) {
  const auto separator = name.find_last_of(L"\\/:");
  return separator == std::wstring_view::npos ? 0 : separator + 1;
}

// A file being written: a new file that replaces `target` at its close, or,
// where `temporary` is empty, the target itself emptied.
struct Replacement {
  HANDLE handle;
  std::wstring temporary;
  std::wstring target;
  bool targetExisted;
  DWORD attributes;  // the old file's, for the new one
};
std::vector<Replacement>& replacements() {
  static std::vector<Replacement> all;
  return all;
}

}  // namespace

FileId openForReading(TextView path, FileProblem& problem) {
  std::wstring name;
  if (!usablePath(path, name)) {
    problem = FileProblem::notFound;
    return kNoFile;
  }
  HANDLE handle = ::CreateFileW(name.c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    problem = openProblem(name);
    return kNoFile;
  }
  // Pipes, consoles and devices could block the run or never end.
  if (::GetFileType(handle) != FILE_TYPE_DISK) {
    ::CloseHandle(handle);
    problem = FileProblem::notRegular;
    return kNoFile;
  }
  return toFileId(handle);
}

FileId createForWriting(TextView path, FileProblem& problem) {
  std::wstring name;
  if (!usablePath(path, name)) {
    problem = FileProblem::notFound;
    return kNoFile;
  }
  const std::size_t nameStart = fileNameStart(name);
  // "\\.\" names a device or a pipe, never a file.
  if (name.rfind(L"\\\\.\\", 0) == 0 ||
      isDeviceName(std::wstring_view(name).substr(nameStart))) {
    problem = FileProblem::notRegular;
    return kNoFile;
  }
  // The old file must be a disk file that we may write and that nobody holds.
  bool existed = false;
  DWORD attributes = INVALID_FILE_ATTRIBUTES;
  HANDLE old = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr,
                             OPEN_EXISTING, 0, nullptr);
  if (old == INVALID_HANDLE_VALUE) {
    problem = openProblem(name);
    if (problem != FileProblem::notFound) return kNoFile;
    problem = FileProblem::none;
  } else {
    existed = true;
    attributes = ::GetFileAttributesW(name.c_str());
    const bool disk = ::GetFileType(old) == FILE_TYPE_DISK;
    ::CloseHandle(old);
    if (!disk) {
      problem = FileProblem::notRegular;
      return kNoFile;
    }
  }

  // The new file, in the same folder so that it can take the old one's place.
  std::wstring folder = name.substr(0, nameStart);
  if (folder.empty()) folder = L".";
  wchar_t temporary[MAX_PATH + 1] = {};
  HANDLE handle = INVALID_HANDLE_VALUE;
  if (::GetTempFileNameW(folder.c_str(), L"tgv", 0, temporary) != 0) {
    handle = ::CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                           0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) ::DeleteFileW(temporary);
  }
  if (handle == INVALID_HANDLE_VALUE) {
    // A folder that takes no new file, or a path too long for one more name:
    // the file is written in place, emptied if it was there, removed again
    // on failure if it was not.
    handle = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr,
                           existed ? TRUNCATE_EXISTING : CREATE_NEW, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      problem = openProblem(name);
      return kNoFile;
    }
    replacements().push_back({handle, {}, name, existed, attributes});
    return toFileId(handle);
  }
  replacements().push_back({handle, temporary, name, existed, attributes});
  return toFileId(handle);
}

std::size_t readBytes(FileId file, unsigned char* into, std::size_t size) {
  DWORD got = 0;
  const auto wanted = static_cast<DWORD>(std::min(size, kLargestPiece));
  if (!::ReadFile(toHandle(file), into, wanted, &got, nullptr)) return 0;
  return got;
}

bool writeBytes(FileId file, const unsigned char* bytes, std::size_t size,
                FileProblem& problem) {
  while (size > 0) {
    const auto piece = static_cast<DWORD>(std::min(size, kLargestPiece));
    DWORD put = 0;
    // A short write is a failed write: the rest would land out of order.
    if (!::WriteFile(toHandle(file), bytes, piece, &put, nullptr)) {
      problem = problemOf(::GetLastError());
      return false;
    }
    if (put != piece) {
      problem = FileProblem::diskFull;
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

bool closeFile(FileId file, bool keep, FileProblem& problem) {
  HANDLE handle = toHandle(file);
  bool closed = ::CloseHandle(handle) != 0;
  if (!closed) problem = problemOf(::GetLastError());
  auto& all = replacements();
  const auto found = std::find_if(all.begin(), all.end(), [&](const Replacement& r) {
    return r.handle == handle;
  });
  if (found == all.end()) return closed;
  const Replacement replacement = *found;
  all.erase(found);
  if (replacement.temporary.empty()) {
    if (!replacement.targetExisted && (!keep || !closed)) {
      ::DeleteFileW(replacement.target.c_str());
    }
    return closed;
  }
  if (keep && closed) {
    // Replacing keeps the old file's attributes and permissions; a file that
    // was not there is simply moved into place.
    const wchar_t* from = replacement.temporary.c_str();
    const wchar_t* to = replacement.target.c_str();
    const bool moved =
        replacement.targetExisted
            ? ::ReplaceFileW(to, from, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                             nullptr, nullptr) != 0
            : ::MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
    if (!moved) {
      problem = problemOf(::GetLastError());
      closed = false;
    } else if (replacement.attributes != INVALID_FILE_ATTRIBUTES) {
      // A hidden or system include stays one.
      constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                              FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
      const DWORD now = ::GetFileAttributesW(to);
      if (now != INVALID_FILE_ATTRIBUTES && (now & kKept) != (replacement.attributes & kKept)) {
        ::SetFileAttributesW(to, (now & ~kKept) | (replacement.attributes & kKept));
      }
    }
  }
  if (!keep || !closed) ::DeleteFileW(replacement.temporary.c_str());
  return closed;
}

bool sameFile(TextView a, TextView b) {
  // No access asked: a file held unshared can still be identified.
  const auto identify = [](TextView path, BY_HANDLE_FILE_INFORMATION& info) {
    std::wstring name;
    if (!usablePath(path, name)) return false;
    HANDLE handle = ::CreateFileW(
        name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const bool known = ::GetFileInformationByHandle(handle, &info) != 0;
    ::CloseHandle(handle);
    return known;
  };
  BY_HANDLE_FILE_INFORMATION first{}, second{};
  return identify(a, first) && identify(b, second) &&
         first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

TextView folderSeparators() { return u"\\/"; }

Text absolutePath(TextView path) {
  // A full path stays as given: the system would turn one that ends in a
  // device name into the device's own name.
  const auto separator = [&](std::size_t i) {
    return i < path.size() && (path[i] == u'\\' || path[i] == u'/');
  };
  if ((separator(0) && separator(1)) || (path.size() > 2 && path[1] == u':' && separator(2))) {
    return Text(path);
  }
  std::wstring name;
  if (!usablePath(path, name)) return {};
  const DWORD size = ::GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
  if (size == 0) return {};
  std::wstring full(size, L'\0');
  const DWORD used = ::GetFullPathNameW(name.c_str(), size, full.data(), nullptr);
  if (used == 0 || used >= size) return {};
  full.resize(used);
  return fromWide(full);
}

Text programFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD used = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (used == 0) return {};
    if (used < path.size()) {
      path.resize(used);
      break;
    }
    path.resize(path.size() * 2);
  }
  const auto separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? Text() : fromWide(path.substr(0, separator));
}

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

bool ansiBytesAreCharacters() {
  // The code page cannot change while the program runs: asked once.
  static const bool answer = [] {
    CPINFO info{};
    if (!::GetCPInfo(CP_ACP, &info) || info.MaxCharSize != 1) return false;
    for (int value = 1; value < 256; ++value) {
      const char byte = static_cast<char>(value);
      wchar_t unit = 0;
      if (::MultiByteToWideChar(CP_ACP, 0, &byte, 1, &unit, 1) != 1) return false;
      if ((value < 0x80) != (unit < 0x80) || (value < 0x80 && unit != value)) {
        return false;
      }
      char back = 0;
      BOOL defaulted = FALSE;
      if (::WideCharToMultiByte(CP_ACP, 0, &unit, 1, &back, 1, nullptr, &defaulted) != 1 ||
          defaulted || back != byte) {
        return false;
      }
    }
    return true;
  }();
  return answer;
}

}  // namespace tintgrove::platform
