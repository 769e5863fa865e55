// POSIX files and the code page stand-in (Windows-1252) under LineFile.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#include "textfile/platform_file.h"
#include "textfile/utf8.h"

namespace tintgrove::platform {

namespace {

// Bytes 80 to 9F of Windows-1252. The five bytes it leaves undefined map to
// the control characters of the same number, as Windows maps them, so every
// byte survives a decode and an encode.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t decodeByte(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte;
}

// The byte for a character, or 0 when the code page has none (U+0000 itself
// is handled by the caller).
unsigned char encodeUnit(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
    return static_cast<unsigned char>(unit);
  }
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == unit) return static_cast<unsigned char>(0x80 + i);
  }
  return 0;
}

// Files this process holds open: a second open of one of them fails even
// where advisory locks do not reach between descriptors of one process.
struct Identity {
  dev_t device;
  ino_t inode;
  int descriptor;
};
std::vector<Identity>& heldFiles() {
  static std::vector<Identity> held;
  return held;
}

bool heldHere(const struct stat& status) {
  const auto& held = heldFiles();
  return std::any_of(held.begin(), held.end(), [&](const Identity& id) {
    return id.device == status.st_dev && id.inode == status.st_ino;
  });
}

// Opens without blocking (a FIFO must not hang the run), then checks the kind
// of file and takes the exclusive lock. Nothing is changed on failure.
FileId openExclusive(TextView path, int flags, bool writing) {
  const std::string name = textToUtf8(path);
  if (name.empty() || name.find('\0') != std::string::npos) return kNoFile;
  const int fd =
      ::open(name.c_str(), flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
  if (fd < 0) return kNoFile;
  struct stat status {};
  const bool usable =
      ::fstat(fd, &status) == 0 &&
      (S_ISREG(status.st_mode) || (writing && S_ISCHR(status.st_mode))) &&
      !heldHere(status) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
      ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0 &&
      (!writing || !S_ISREG(status.st_mode) || ::ftruncate(fd, 0) == 0);
  if (!usable) {
    ::close(fd);
    return kNoFile;
  }
  heldFiles().push_back({status.st_dev, status.st_ino, fd});
  return fd;
}

}  // namespace

FileId openForReading(TextView path) {
  return openExclusive(path, O_RDONLY, false);
}

FileId createForWriting(TextView path) {
  // No O_TRUNC: the file is emptied only once it is known to be ours.
  return openExclusive(path, O_WRONLY | O_CREAT, true);
}

std::size_t readBytes(FileId file, unsigned char* into, std::size_t size) {
  for (;;) {
    const ssize_t got = ::read(static_cast<int>(file), into, size);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) return 0;
  }
}

bool writeBytes(FileId file, const unsigned char* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t put = ::write(static_cast<int>(file), bytes, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    bytes += put;
    size -= static_cast<std::size_t>(put);
  }
  return true;
}

bool seekBackOne(FileId file) {
  return ::lseek(static_cast<int>(file), -1, SEEK_CUR) >= 0;
}

bool closeFile(FileId file) {
  auto& held = heldFiles();
  held.erase(std::remove_if(held.begin(), held.end(),
                            [&](const Identity& id) {
                              return id.descriptor == file;
                            }),
             held.end());
  return ::close(static_cast<int>(file)) == 0;
}

void decodeAnsi(const unsigned char* bytes, std::size_t size, Text& out) {
  // One character per byte, from a table built once.
  static const std::array<char16_t, 256> kTable = [] {
    std::array<char16_t, 256> table{};
    for (int byte = 0; byte < 256; ++byte) {
      table[byte] = decodeByte(static_cast<unsigned char>(byte));
    }
    return table;
  }();
  out.resize(size);
  char16_t* units = out.data();
  // Eight bytes at a time: plain ASCII, by far the usual text, widens
  // without the table.
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  std::size_t i = 0;
  for (; size - i >= 8; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes + i, sizeof word);
    if ((word & kHighBits) == 0) {
      for (std::size_t k = 0; k < 8; ++k) units[i + k] = bytes[i + k];
    } else {
      for (std::size_t k = 0; k < 8; ++k) units[i + k] = kTable[bytes[i + k]];
    }
  }
  for (; i < size; ++i) units[i] = kTable[bytes[i]];
}

void encodeAnsi(TextView text, std::string& out) {
  const std::size_t size = text.size();
  out.resize(size);
  const char16_t* units = text.data();
  char* bytes = out.data();
  // Plain ASCII, the usual text, narrows without any test per unit.
  char16_t high = 0;
  for (std::size_t i = 0; i < size; ++i) high |= units[i];
  if (high < 0x80) {
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(units[i]);
    return;
  }
  // Otherwise Latin-1 outside 80 to 9F is still one byte per unit.
  bool plain = true;
  for (std::size_t i = 0; i < size; ++i) {
    const char16_t unit = units[i];
    bytes[i] = static_cast<char>(unit);
    plain &= unit < 0x100 && static_cast<char16_t>(unit - 0x80) >= 0x20;
  }
  if (plain) return;
  out.clear();
  for (std::size_t i = 0; i < size; ++i) {
    const char16_t unit = text[i];
    const unsigned char byte = encodeUnit(unit);
    if (byte != 0 || unit == 0) {
      out.push_back(static_cast<char>(byte));
      continue;
    }
    // One "?" per character: a surrogate pair is one character.
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < size &&
        text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      ++i;
    }
    out.push_back('?');
  }
}

}  // namespace tintgrove::platform
