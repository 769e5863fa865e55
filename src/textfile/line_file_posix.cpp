// POSIX files and the code page stand-in (Windows-1252) under LineFile.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
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

void hold(int fd, const struct stat& status) {
  heldFiles().push_back({status.st_dev, status.st_ino, fd});
}

void release(int fd) {
  auto& held = heldFiles();
  held.erase(std::remove_if(held.begin(), held.end(),
                            [&](const Identity& id) { return id.descriptor == fd; }),
             held.end());
}

FileProblem problemOf(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return FileProblem::notFound;
    case EACCES:
    case EPERM:
      return FileProblem::permissionDenied;
    case EROFS:
      return FileProblem::readOnly;
    case ENOSPC:
    case EDQUOT:
      return FileProblem::diskFull;
    case EFBIG:
      return FileProblem::tooLarge;
    case EISDIR:
    case ENXIO:
    case ENODEV:
      return FileProblem::notRegular;
    case EWOULDBLOCK:
      return FileProblem::inUse;
    default:
      return FileProblem::other;
  }
}

// The platform's name of a path; empty when no file can have it.
std::string nativeName(TextView path) {
  std::string name = textToUtf8(path);
  if (name.find('\0') != std::string::npos) name.clear();
  return name;
}

// Opens without blocking (a FIFO must not hang the run), then checks the kind
// of file and takes the exclusive lock. On failure nothing is changed, the
// descriptor is closed and the reason is in `problem`.
int openChecked(const std::string& name, int flags, FileProblem& problem,
                struct stat& status) {
  const int fd = ::open(name.c_str(), flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    problem = problemOf(errno);
    return -1;
  }
  if (::fstat(fd, &status) != 0) {
    problem = problemOf(errno);
  } else if (!S_ISREG(status.st_mode)) {
    problem = FileProblem::notRegular;
  } else if (heldHere(status) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    problem = FileProblem::inUse;
  } else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    problem = problemOf(errno);
  } else {
    return fd;
  }
  ::close(fd);
  return -1;
}

// A file being written: a new file that replaces `target` at its close, or,
// where `temporary` is empty, the target itself emptied.
struct Replacement {
  int descriptor;
  std::string temporary;
  std::string target;
  int old;  // the old target, locked until the new one is in place; or -1
};
std::vector<Replacement>& replacements() {
  static std::vector<Replacement> all;
  return all;
}

// Where a link points, so that the link itself stays a link.
std::string resolvedTarget(const std::string& name) {
  struct stat link {};
  if (::lstat(name.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return name;
  char* real = ::realpath(name.c_str(), nullptr);
  if (real == nullptr) return name;  // a dangling link: written through
  std::string target = real;
  std::free(real);
  return target;
}

mode_t creationMask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

}  // namespace

FileId openForReading(TextView path, FileProblem& problem) {
  const std::string name = nativeName(path);
  if (name.empty()) {
    problem = FileProblem::notFound;
    return kNoFile;
  }
  struct stat status {};
  const int fd = openChecked(name, O_RDONLY, problem, status);
  if (fd < 0) return kNoFile;
  hold(fd, status);
  return fd;
}

FileId createForWriting(TextView path, FileProblem& problem) {
  const std::string name = nativeName(path);
  if (name.empty()) {
    problem = FileProblem::notFound;
    return kNoFile;
  }
  const std::string target = resolvedTarget(name);
  // The old file must be a regular file that we may write and that nobody
  // holds; it stays locked until the new one has taken its place.
  struct stat status {};
  int old = openChecked(target, O_WRONLY, problem, status);
  if (old < 0 && problem != FileProblem::notFound) return kNoFile;
  problem = FileProblem::none;

  const auto slash = target.rfind('/');
  std::string temporary =
      (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) +
      ".tintgrove-XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) {
    const int error = errno;
    if (old >= 0) {
      // A folder that takes no new file: the old file is written in place.
      if (::ftruncate(old, 0) == 0) {
        hold(old, status);
        replacements().push_back({old, {}, target, -1});
        return old;
      }
      problem = problemOf(errno);
      ::close(old);
      return kNoFile;
    }
    problem = problemOf(error);
    return kNoFile;
  }
  ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  if (old >= 0) {
    // The new file keeps the old one's owner and permissions where it may.
    (void)::fchown(fd, status.st_uid, status.st_gid);
    ::fchmod(fd, status.st_mode & 07777);
  } else {
    ::fchmod(fd, 0666 & ~creationMask());
  }
  replacements().push_back({fd, temporary, target, old});
  return fd;
}

std::size_t readBytes(FileId file, unsigned char* into, std::size_t size) {
  for (;;) {
    const ssize_t got = ::read(static_cast<int>(file), into, size);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) return 0;
  }
}

bool writeBytes(FileId file, const unsigned char* bytes, std::size_t size,
                FileProblem& problem) {
  while (size > 0) {
    const ssize_t put = ::write(static_cast<int>(file), bytes, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      problem = put < 0 ? problemOf(errno) : FileProblem::other;
      return false;
    }
    bytes += put;
    size -= static_cast<std::size_t>(put);
  }
  return true;
}

bool seekBackOne(FileId file) {
  return ::lseek(static_cast<int>(file), -1, SEEK_CUR) >= 0;
}

bool closeFile(FileId file, bool keep, FileProblem& problem) {
  const int fd = static_cast<int>(file);
  release(fd);
  bool closed = ::close(fd) == 0;
  if (!closed) problem = problemOf(errno);
  auto& all = replacements();
  const auto found = std::find_if(all.begin(), all.end(), [&](const Replacement& r) {
    return r.descriptor == fd;
  });
  if (found == all.end()) return closed;
  const Replacement replacement = *found;
  all.erase(found);
  if (!replacement.temporary.empty()) {
    if (keep && closed &&
        ::rename(replacement.temporary.c_str(), replacement.target.c_str()) != 0) {
      problem = problemOf(errno);
      closed = false;
    }
    if (!keep || !closed) ::unlink(replacement.temporary.c_str());
    if (replacement.old >= 0) ::close(replacement.old);
  }
  return closed;
}

bool sameFile(TextView a, TextView b) {
  struct stat first {}, second {};
  return ::stat(nativeName(a).c_str(), &first) == 0 &&
         ::stat(nativeName(b).c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

TextView folderSeparators() { return u"/"; }

Text absolutePath(TextView path) {
  if (!path.empty() && path[0] == u'/') return Text(path);
  std::vector<char> folder(4096);
  while (::getcwd(folder.data(), folder.size()) == nullptr) {
    // A working folder that was removed has no path: nothing is resolved
    // against some other folder instead.
    if (errno != ERANGE) return {};
    folder.resize(folder.size() * 2);
  }
  Text absolute = utf8ToText(folder.data());
  if (absolute.empty() || absolute.back() != u'/') absolute += u'/';
  return absolute + Text(path);
}

Text programFolder() {
  // Where the system tells it; elsewhere the program's folder is not
  // searched.
  char* real = ::realpath("/proc/self/exe", nullptr);
  if (real == nullptr) return {};
  std::string path = real;
  std::free(real);
  const auto slash = path.rfind('/');
  return utf8ToText(path.substr(0, slash == 0 ? 1 : slash));
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

// The stand-in maps every byte to one character and back (see kHighControls).
bool ansiBytesAreCharacters() { return true; }

}  // namespace tintgrove::platform
