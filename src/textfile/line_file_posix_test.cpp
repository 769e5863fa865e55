// What the POSIX layer adds: locks between processes, only regular files
// read, write failures seen, and file names that are not UTF-8.
#include <fcntl.h>
#include <iconv.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "test_support.h"
#include "textfile/line_file.h"
#include "textfile/platform_file.h"
#include "textfile/utf8.h"

namespace tintgrove {
namespace {

using test::ScratchFolder;

// Another process takes the advisory lock and keeps it until told to stop.
class LockingProcess {
 public:
  explicit LockingProcess(const std::string& path) {
    int ready[2];
    EXPECT_EQ(::pipe(ready), 0);
    EXPECT_EQ(::pipe(release_), 0);
    child_ = ::fork();
    if (child_ == 0) {
      const int fd = ::open(path.c_str(), O_RDONLY);
      const char ok = fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? 'y' : 'n';
      (void)!::write(ready[1], &ok, 1);
      char done;
      (void)!::read(release_[0], &done, 1);
      ::_exit(0);
    }
    char ok = 'n';
    EXPECT_EQ(::read(ready[0], &ok, 1), 1);
    EXPECT_EQ(ok, 'y');
    ::close(ready[0]);
    ::close(ready[1]);
  }
  ~LockingProcess() {
    (void)!::write(release_[1], "x", 1);
    ::waitpid(child_, nullptr, 0);
    ::close(release_[0]);
    ::close(release_[1]);
  }

 private:
  pid_t child_ = -1;
  int release_[2] = {-1, -1};
};

TEST(PosixLineFileTest, AFileLockedByAnotherProcessIsNotOpened) {
  ScratchFolder folder;
  test::writeBytes(folder.file("table.txt"), "precious\r\n");
  {
    LockingProcess other(folder.file("table.txt").string());
    EXPECT_EQ(LineFile::openForReading(folder.text("table.txt")).problem(),
              FileProblem::inUse);
    EXPECT_EQ(LineFile::createForWriting(folder.text("table.txt")).problem(),
              FileProblem::inUse);
    EXPECT_EQ(test::readBytes(folder.file("table.txt")), "precious\r\n");
  }
  LineFile file = LineFile::openForReading(folder.text("table.txt"));
  EXPECT_TRUE(file.isOpen());
  file.close();
}

TEST(PosixLineFileTest, OnlyRegularFilesAreRead) {
  ScratchFolder folder;
  ASSERT_EQ(::mkfifo(folder.file("fifo").c_str(), 0600), 0);
  for (const Text& path : {folder.text(""), folder.text("fifo"),
                           Text(u"/dev/zero"), Text(u"/dev/null")}) {
    EXPECT_FALSE(LineFile::openForReading(path).isOpen()) << test::shown(path);
  }
  EXPECT_FALSE(LineFile::createForWriting(folder.text("fifo")).isOpen());
}

// Past a file size limit: the write fails with its reason, and neither the
// old file nor a partial new one is left in its place.
TEST(PosixLineFileTest, AFailedWriteLeavesTheOldFileAsItWas) {
  ScratchFolder folder;
  test::writeBytes(folder.file("out.inc"), "old\r\n");
  struct rlimit saved {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limited = saved;
  limited.rlim_cur = 6000;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
  for (const std::size_t length : {std::size_t{5000}, std::size_t{3000}}) {
    LineFile out = LineFile::createForWriting(folder.text("out.inc"));
    ASSERT_TRUE(out.isOpen());
    for (int i = 0; i < 3; ++i) out.writeLine(Text(length, u'x'));
    EXPECT_FALSE(out.close()) << length;
    EXPECT_EQ(out.problem(), FileProblem::tooLarge) << length;
  }
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(test::readBytes(folder.file("out.inc")), "old\r\n");
  EXPECT_EQ(test::fileNames(folder.path()), (std::vector<std::string>{"out.inc"}));
}

TEST(PosixLineFileTest, WhatCannotBeWrittenSaysWhy) {
  ScratchFolder folder;
  ASSERT_EQ(::mkfifo(folder.file("fifo.inc").c_str(), 0600), 0);
  std::filesystem::create_directory(folder.file("folder.inc"));
  ::symlink("/dev/full", folder.file("full.inc").c_str());
  ::symlink("/dev/null", folder.file("null.inc").c_str());
  struct Case {
    Text path;
    FileProblem problem;
  };
  const Case cases[] = {
      {folder.text("fifo.inc"), FileProblem::notRegular},
      {folder.text("folder.inc"), FileProblem::notRegular},
      {folder.text("full.inc"), FileProblem::notRegular},
      {folder.text("null.inc"), FileProblem::notRegular},
      {folder.text("nowhere/x.inc"), FileProblem::notFound},
      {Text(u""), FileProblem::notFound},
  };
  for (const Case& c : cases) {
    LineFile file = LineFile::createForWriting(c.path);
    EXPECT_FALSE(file.isOpen()) << test::shown(c.path);
    EXPECT_EQ(file.problem(), c.problem) << test::shown(c.path);
  }
  EXPECT_TRUE(std::filesystem::is_fifo(folder.file("fifo.inc")));
  EXPECT_TRUE(std::filesystem::is_symlink(folder.file("full.inc")));
  EXPECT_TRUE(std::filesystem::is_empty(folder.file("folder.inc")));

  LineFile missing = LineFile::openForReading(folder.text("missing.json"));
  EXPECT_EQ(missing.problem(), FileProblem::notFound);
  LineFile directory = LineFile::openForReading(folder.text("folder.inc"));
  EXPECT_EQ(directory.problem(), FileProblem::notRegular);
}

// The new file takes the old one's place only at the close: until then, and
// after an abandoned write, the old content is there.
TEST(PosixLineFileTest, ReplacesOnlyWhenComplete) {
  ScratchFolder folder;
  test::writeBytes(folder.file("out.inc"), "old\r\n");
  ASSERT_EQ(::chmod(folder.file("out.inc").c_str(), 0640), 0);
  {
    LineFile out = LineFile::createForWriting(folder.text("out.inc"));
    out.writeLine(Text(5000, u'n'));
    EXPECT_EQ(test::readBytes(folder.file("out.inc")), "old\r\n");
    out.abandon();
  }
  EXPECT_EQ(test::readBytes(folder.file("out.inc")), "old\r\n");
  EXPECT_EQ(test::fileNames(folder.path()), (std::vector<std::string>{"out.inc"}));

  LineFile out = LineFile::createForWriting(folder.text("out.inc"));
  out.writeLine(u"new");
  EXPECT_TRUE(out.close());
  EXPECT_EQ(test::readBytes(folder.file("out.inc")), "new\r\n");
  struct stat status {};
  ASSERT_EQ(::stat(folder.file("out.inc").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);  // the old file's permissions
  EXPECT_EQ(test::fileNames(folder.path()), (std::vector<std::string>{"out.inc"}));
}

// A link stays a link: the file it names gets the new content.
TEST(PosixLineFileTest, WritesThroughALink) {
  ScratchFolder folder;
  std::filesystem::create_directory(folder.file("real"));
  test::writeBytes(folder.file("real/target.inc"), "old\r\n");
  ::symlink("real/target.inc", folder.file("link.inc").c_str());
  LineFile out = LineFile::createForWriting(folder.text("link.inc"));
  out.writeLine(u"new");
  EXPECT_TRUE(out.close());
  EXPECT_TRUE(std::filesystem::is_symlink(folder.file("link.inc")));
  EXPECT_EQ(test::readBytes(folder.file("real/target.inc")), "new\r\n");
}

// Where the folder takes no new file, a writable file is written in place.
// Root may create files anywhere, so it runs the case as another user.
TEST(PosixLineFileTest, AReadOnlyFolderIsWrittenInPlace) {
  ScratchFolder folder;
  std::filesystem::create_directory(folder.file("locked"));
  test::writeBytes(folder.file("locked/out.inc"), "old content\r\n");
  ASSERT_EQ(::chmod(folder.file("locked/out.inc").c_str(), 0666), 0);
  ASSERT_EQ(::chmod(folder.file("locked").c_str(), 0555), 0);
  ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
    LineFile out = LineFile::createForWriting(folder.text("locked/out.inc"));
    out.writeLine(u"new");
    const bool kept = out.close();
    LineFile fresh = LineFile::createForWriting(folder.text("locked/fresh.inc"));
    const bool refused = !fresh.isOpen() && fresh.problem() == FileProblem::permissionDenied;
    ::_exit(kept && refused ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ::chmod(folder.file("locked").c_str(), 0755);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(test::readBytes(folder.file("locked/out.inc")), "new\r\n");
  EXPECT_FALSE(std::filesystem::exists(folder.file("locked/fresh.inc")));
}

TEST(PosixLineFileTest, SameFileSeesThroughLinks) {
  ScratchFolder folder;
  test::writeBytes(folder.file("g.json"), "x");
  test::writeBytes(folder.file("other.json"), "x");
  ::symlink("g.json", folder.file("soft.inc").c_str());
  ::link(folder.file("g.json").c_str(), folder.file("hard.inc").c_str());
  EXPECT_TRUE(platform::sameFile(folder.text("soft.inc"), folder.text("g.json")));
  EXPECT_TRUE(platform::sameFile(folder.text("hard.inc"), folder.text("g.json")));
  EXPECT_FALSE(platform::sameFile(folder.text("other.json"), folder.text("g.json")));
  EXPECT_FALSE(platform::sameFile(folder.text("missing"), folder.text("missing")));
}

TEST(PosixLineFileTest, FileNamesThatAreNotUtf8SurviveTheTrip) {
  ScratchFolder folder;
  const std::string rawName = "caf\xE9 \xFF\xC3(.json";  // Latin-1, not UTF-8
  const std::string raw = folder.path().string() + "/" + rawName;
  test::writeBytes(raw, "line\r\n");
  const Text path = utf8ToText(raw);
  EXPECT_EQ(textToUtf8(path), raw);
  LineFile in = LineFile::openForReading(path);
  ASSERT_TRUE(in.isOpen());
  EXPECT_EQ(in.readLine(), u"line");
  in.close();

  const Text copy = path + u".inc";
  LineFile out = LineFile::createForWriting(copy);
  out.writeLine(u"x");
  out.close();
  EXPECT_EQ(test::readBytes(raw + ".inc"), "x\r\n");
}

TEST(PosixLineFileTest, Utf8NamesDecodeAsCharacters) {
  EXPECT_EQ(utf8ToText("gr\xC3\xBCn \xF0\x9F\x8C\x85"), u"gr\u00FCn \U0001F305");
  EXPECT_EQ(textToUtf8(u"gr\u00FCn \U0001F305"), "gr\xC3\xBCn \xF0\x9F\x8C\x85");
  EXPECT_EQ(utf8ToText("\xF4\x8F\xBF\xBF"), u"\U0010FFFF");
}

// Every byte of a sequence that is not valid UTF-8 stands for itself, so the
// name comes back unchanged.
TEST(PosixLineFileTest, InvalidUtf8KeepsEveryByte) {
  struct Case {
    const char* bytes;
    std::u16string text;
  };
  const Case cases[] = {
      {"\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"},            // a surrogate
      {"\xF4\x90\x80\x80", u"\xDCF4\xDC90\xDC80\xDC80"},  // above U+10FFFF
      {"\xF5\x80\x80\x80", u"\xDCF5\xDC80\xDC80\xDC80"},  // no such lead byte
      {"\xC0\xAF", u"\xDCC0\xDCAF"},                      // overlong "/"
      {"\xE0\x80\xAF", u"\xDCE0\xDC80\xDCAF"},            // overlong "/"
      {"\xC2", u"\xDCC2"},                                 // cut short
      {"a\xE2\x82", u"a\xDCE2\xDC82"},                     // cut short
      {"\x80x", u"\xDC80x"},                               // a lone continuation
      {"\xFF\xFE", u"\xDCFF\xDCFE"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(utf8ToText(c.bytes), c.text) << c.bytes;
    EXPECT_EQ(textToUtf8(c.text), c.bytes) << c.bytes;
  }
}

// The stand-in for code page 1252 against glibc's own converter, byte by
// byte and character by character. The five bytes 1252 leaves undefined map
// to the control characters of the same number, as Windows maps them.
TEST(PosixLineFileTest, CodePageAgreesWithTheSystemConverter) {
  const iconv_t toText = ::iconv_open("UTF-16LE", "CP1252");
  const iconv_t toBytes = ::iconv_open("CP1252", "UTF-16LE");
  ASSERT_NE(toText, reinterpret_cast<iconv_t>(-1));
  ASSERT_NE(toBytes, reinterpret_cast<iconv_t>(-1));
  const auto convert = [](iconv_t converter, const char* in, std::size_t size,
                          char* out, std::size_t room) -> std::size_t {
    ::iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char* from = const_cast<char*>(in);
    char* to = out;
    if (::iconv(converter, &from, &size, &to, &room) == static_cast<std::size_t>(-1)) {
      return 0;
    }
    return static_cast<std::size_t>(to - out);
  };
  const std::u16string undefined = u"\u0081\u008D\u008F\u0090\u009D";
  for (int byte = 0; byte < 256; ++byte) {
    const unsigned char in = static_cast<unsigned char>(byte);
    Text decoded;
    platform::decodeAnsi(&in, 1, decoded);
    char16_t expected = 0;
    char out[4];
    if (convert(toText, reinterpret_cast<const char*>(&in), 1, out, sizeof out) == 2) {
      expected = static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                       static_cast<unsigned char>(out[1]) << 8);
    } else {
      expected = static_cast<char16_t>(byte);
      EXPECT_NE(undefined.find(expected), std::u16string::npos) << byte;
    }
    EXPECT_EQ(decoded, Text(1, expected)) << byte;
  }
  for (std::uint32_t code = 1; code < 0x10000; ++code) {
    if (code >= 0xD800 && code <= 0xDFFF) continue;
    const char16_t unit = static_cast<char16_t>(code);
    std::string encoded;
    platform::encodeAnsi(Text(1, unit), encoded);
    const char in[2] = {static_cast<char>(code & 0xFF), static_cast<char>(code >> 8)};
    char out[4];
    std::string expected = "?";
    if (convert(toBytes, in, 2, out, sizeof out) == 1) expected = std::string(1, out[0]);
    if (undefined.find(unit) != std::u16string::npos) {
      expected = std::string(1, static_cast<char>(code));
    }
    ASSERT_EQ(encoded, expected) << std::hex << code;
  }
  ::iconv_close(toText);
  ::iconv_close(toBytes);
}

TEST(PosixLineFileTest, DescriptorsAreCloseOnExec) {
  ScratchFolder folder;
  test::writeBytes(folder.file("in.txt"), "x");
  FileProblem problem = FileProblem::none;
  const platform::FileId id = platform::openForReading(folder.text("in.txt"), problem);
  ASSERT_NE(id, platform::kNoFile);
  EXPECT_TRUE(::fcntl(static_cast<int>(id), F_GETFD) & FD_CLOEXEC);
  const platform::FileId out = platform::createForWriting(folder.text("out.txt"), problem);
  ASSERT_NE(out, platform::kNoFile);
  EXPECT_TRUE(::fcntl(static_cast<int>(out), F_GETFD) & FD_CLOEXEC);
  platform::closeFile(id, true, problem);
  platform::closeFile(out, true, problem);
}

TEST(PosixLineFileTest, CodePageStandInMapsAsWindowsDoes) {
  Text decoded;
  const unsigned char undefined[] = {0x81, 0x8D, 0x8F, 0x90, 0x9D, 0x80, 0x9F};
  platform::decodeAnsi(undefined, sizeof undefined, decoded);
  EXPECT_EQ(decoded, u"\u0081\u008D\u008F\u0090\u009D\u20AC\u0178");
  std::string encoded;
  platform::encodeAnsi(u"\U0001F305|\u0100|\u20AC", encoded);
  EXPECT_EQ(encoded, "?|?|\x80");
}

}  // namespace
}  // namespace tintgrove
