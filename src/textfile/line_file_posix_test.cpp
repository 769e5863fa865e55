// What the POSIX layer adds: locks between processes, only regular files
// read, write failures seen, and file names that are not UTF-8.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

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
    EXPECT_FALSE(LineFile::openForReading(folder.text("table.txt")).isOpen());
    EXPECT_FALSE(LineFile::createForWriting(folder.text("table.txt")).isOpen());
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

TEST(PosixLineFileTest, AFailedWriteIsRemembered) {
  LineFile full = LineFile::createForWriting(u"/dev/full");
  ASSERT_TRUE(full.isOpen());
  full.writeLine(u"small");  // waits in the buffer: the close must tell
  EXPECT_TRUE(full.writesSucceeded());
  EXPECT_FALSE(full.close());

  LineFile big = LineFile::createForWriting(u"/dev/full");
  big.writeLine(Text(5000, u'x'));
  EXPECT_FALSE(big.writesSucceeded());
  big.close();
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
  EXPECT_EQ(utf8ToText("\xED\xA0\x80"), u"\xDCED\xDCA0\xDC80");  // no surrogates
  EXPECT_EQ(textToUtf8(u"gr\u00FCn \U0001F305"), "gr\xC3\xBCn \xF0\x9F\x8C\x85");
}

TEST(PosixLineFileTest, DescriptorsAreCloseOnExec) {
  ScratchFolder folder;
  test::writeBytes(folder.file("in.txt"), "x");
  const platform::FileId id = platform::openForReading(folder.text("in.txt"));
  ASSERT_NE(id, platform::kNoFile);
  EXPECT_TRUE(::fcntl(static_cast<int>(id), F_GETFD) & FD_CLOEXEC);
  platform::closeFile(id);
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
