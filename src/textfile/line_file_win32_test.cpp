// What the Win32 layer adds: share mode 0 against handles of any kind, the
// retry that empties a file CREATE_ALWAYS may not replace, only disk files
// read, wide file names, and the ANSI code page of the system.

#include <gtest/gtest.h>

#include <cwchar>
#include <filesystem>
#include <string>
#include <vector>

#include "test_support.h"
#include "textfile/line_file.h"
#include "textfile/platform_file.h"
#include "textfile/win32.h"

namespace tintgrove {
namespace {

using test::ScratchFolder;

// A plain handle of the kind another program would hold, sharing everything.
class OtherHandle {
 public:
  explicit OtherHandle(const std::filesystem::path& path, DWORD access)
      : handle_(::CreateFileW(path.c_str(), access,
                              FILE_SHARE_READ | FILE_SHARE_WRITE |
                                  FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr)) {}
  ~OtherHandle() {
    if (isOpen()) ::CloseHandle(handle_);
  }
  OtherHandle(const OtherHandle&) = delete;
  OtherHandle& operator=(const OtherHandle&) = delete;
  bool isOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

TEST(Win32LineFileTest, NoSharingWithHandlesOpenedElsewhere) {
  ScratchFolder folder;
  const auto table = folder.file("hex-bin.txt");
  test::writeBytes(table, "precious\r\n");
  for (const DWORD access : {DWORD{GENERIC_READ}, DWORD{GENERIC_WRITE}}) {
    OtherHandle other(table, access);
    ASSERT_TRUE(other.isOpen());
    EXPECT_FALSE(LineFile::openForReading(test::pathText(table)).isOpen());
    EXPECT_FALSE(LineFile::createForWriting(test::pathText(table)).isOpen());
  }
  EXPECT_EQ(test::readBytes(table), "precious\r\n");

  // And the other way round: while the table is held, nobody gets it, not
  // even a reader willing to share everything.
  LineFile held = LineFile::openForReading(test::pathText(table));
  ASSERT_TRUE(held.isOpen());
  EXPECT_FALSE(OtherHandle(table, GENERIC_READ).isOpen());
  EXPECT_EQ(::GetLastError(), DWORD{ERROR_SHARING_VIOLATION});
  held.close();
  EXPECT_TRUE(OtherHandle(table, GENERIC_READ).isOpen());
}

TEST(Win32LineFileTest, AHiddenFileIsEmptiedByTheRetryAndStaysHidden) {
  // CREATE_ALWAYS with normal attributes refuses to replace a hidden file;
  // TRUNCATE_EXISTING empties it in place.
  ScratchFolder folder;
  const auto out = folder.file("sunset.inc");
  test::writeBytes(out, "old content that is longer\r\n");
  ASSERT_TRUE(::SetFileAttributesW(out.c_str(), FILE_ATTRIBUTE_HIDDEN));
  LineFile file = LineFile::createForWriting(test::pathText(out));
  ASSERT_TRUE(file.isOpen());
  file.writeLine(u"new");
  EXPECT_TRUE(file.close());
  EXPECT_EQ(test::readBytes(out), "new\r\n");
  EXPECT_TRUE(::GetFileAttributesW(out.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

TEST(Win32LineFileTest, AReadOnlyFileIsNeitherReplacedNorEmptied) {
  ScratchFolder folder;
  const auto out = folder.file("sunset.inc");
  test::writeBytes(out, "kept\r\n");
  ASSERT_TRUE(::SetFileAttributesW(out.c_str(), FILE_ATTRIBUTE_READONLY));
  if (OtherHandle(out, GENERIC_WRITE).isOpen()) {
    // Wine keeps the attribute as Unix permissions, which root ignores.
    ::SetFileAttributesW(out.c_str(), FILE_ATTRIBUTE_NORMAL);
    GTEST_SKIP() << "the read-only attribute is not enforced here";
  }
  EXPECT_FALSE(LineFile::createForWriting(test::pathText(out)).isOpen());
  EXPECT_EQ(test::readBytes(out), "kept\r\n");
  LineFile in = LineFile::openForReading(test::pathText(out));
  EXPECT_EQ(in.readLine(), u"kept");
  in.close();
  ::SetFileAttributesW(out.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(Win32LineFileTest, OnlyDiskFilesAreRead) {
  ScratchFolder folder;
  const wchar_t pipeName[] = L"\\\\.\\pipe\\tintgrove-line-file-test";
  HANDLE pipe = ::CreateNamedPipeW(pipeName, PIPE_ACCESS_DUPLEX,
                                   PIPE_TYPE_BYTE | PIPE_NOWAIT, 4, 64, 64, 0,
                                   nullptr);
  ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
  const Text pipePath(pipeName, pipeName + std::wcslen(pipeName));
  for (const Text& path : {folder.text(""), Text(u"NUL"), pipePath}) {
    EXPECT_FALSE(LineFile::openForReading(path).isOpen()) << test::shown(path);
  }
  EXPECT_EQ(LineFile::createForWriting(pipePath).problem(), FileProblem::notRegular);
  ::CloseHandle(pipe);
}

// A base name that is a device would send the include's bytes to the device.
TEST(Win32LineFileTest, DeviceNamesAreNotWritten) {
  ScratchFolder folder;
  for (const char* name : {"NUL", "nul.inc", "aux.inc", "Con.inc", "COM1.inc",
                           "lpt9.inc", "prn .inc", "conin$.inc"}) {
    const LineFile file = LineFile::createForWriting(folder.text(name));
    EXPECT_FALSE(file.isOpen()) << name;
    EXPECT_EQ(file.problem(), FileProblem::notRegular) << name;
  }
  EXPECT_TRUE(test::fileNames(folder.path()).empty());
  // Names that only begin like a device are ordinary files.
  for (const char* name : {"auxiliary.inc", "com10.inc", "nul_map.inc"}) {
    LineFile file = LineFile::createForWriting(folder.text(name));
    file.writeLine(u"x");
    EXPECT_TRUE(file.close()) << name;
  }
}

// Until the close the old include is there; an abandoned write leaves it.
TEST(Win32LineFileTest, ReplacesOnlyWhenComplete) {
  ScratchFolder folder;
  const auto out = folder.file("sunset.inc");
  test::writeBytes(out, "old\r\n");
  LineFile file = LineFile::createForWriting(test::pathText(out));
  ASSERT_TRUE(file.isOpen());
  file.writeLine(Text(5000, u'n'));
  EXPECT_EQ(test::readBytes(out), "old\r\n");
  file.abandon();
  EXPECT_EQ(test::readBytes(out), "old\r\n");
  EXPECT_EQ(test::fileNames(folder.path()), std::vector<std::string>{"sunset.inc"});
}

TEST(Win32LineFileTest, SameFileSeesThroughHardLinks) {
  ScratchFolder folder;
  test::writeBytes(folder.file("g.json"), "x");
  test::writeBytes(folder.file("other.json"), "x");
  ASSERT_TRUE(::CreateHardLinkW(folder.file("hard.inc").c_str(),
                                folder.file("g.json").c_str(), nullptr));
  EXPECT_TRUE(platform::sameFile(folder.text("hard.inc"), folder.text("g.json")));
  EXPECT_FALSE(platform::sameFile(folder.text("other.json"), folder.text("g.json")));
  // A file held unshared can still be told apart.
  LineFile held = LineFile::openForReading(folder.text("g.json"));
  ASSERT_TRUE(held.isOpen());
  EXPECT_TRUE(platform::sameFile(folder.text("g.json"), folder.text("g.json")));
  held.close();
}

TEST(Win32LineFileTest, WideFileNamesReachTheSystemUnchanged) {
  ScratchFolder folder;
  // Not one of these is in code page 1252.
  const Text name = u"\u65E5\u6CA1 \u0394 \U0001F305.json";
  const Text path = folder.text("") + u"\\" + name;
  LineFile out = LineFile::createForWriting(path);
  ASSERT_TRUE(out.isOpen());
  out.writeLine(u"x");
  out.close();
  const std::filesystem::path expected =
      folder.path() / std::wstring(name.begin(), name.end());
  EXPECT_EQ(test::readBytes(expected), "x\r\n");

  const Text withNul = folder.text("a") + Text(1, u'\0') + u"b";
  EXPECT_FALSE(LineFile::createForWriting(withNul).isOpen());
  EXPECT_FALSE(std::filesystem::exists(folder.file("a")));
  EXPECT_FALSE(LineFile::openForReading(u"").isOpen());
}

TEST(Win32LineFileTest, SingleByteCodePageRoundTripsEveryByte) {
  // Whatever the system's ANSI code page, one that has a character for each
  // byte gives each byte back; the other tests assume 1252.
  CPINFO info{};
  ASSERT_TRUE(::GetCPInfo(CP_ACP, &info));
  if (info.MaxCharSize != 1) GTEST_SKIP() << "ANSI code page " << ::GetACP();
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  Text decoded;
  platform::decodeAnsi(reinterpret_cast<const unsigned char*>(all.data()),
                       all.size(), decoded);
  ASSERT_EQ(decoded.size(), all.size());
  std::string encoded;
  platform::encodeAnsi(decoded, encoded);
  EXPECT_EQ(encoded, all);
}

}  // namespace
}  // namespace tintgrove
