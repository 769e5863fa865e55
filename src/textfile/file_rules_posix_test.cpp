// File rules on POSIX that the include's replacement must keep: the mode a
// new file gets, the owner a replaced one keeps, no descriptor left behind,
// and the reasons for paths that cannot name a file.
#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_support.h"
#include "textfile/line_file.h"
#include "textfile/platform_file.h"

namespace tintgrove {
namespace {

using test::ScratchFolder;

// A fresh include gets what any new file gets under the creation mask (0666
// less the mask), not the private mode of a temporary file.
TEST(PosixFileRulesTest, ANewFileGetsTheModeTheCreationMaskAllows) {
  ScratchFolder folder;
  struct Case {
    mode_t mask;
    mode_t mode;
  };
  const Case cases[] = {{022, 0644}, {002, 0664}, {077, 0600}, {0, 0666}};
  for (const Case& c : cases) {
    const mode_t saved = ::umask(c.mask);
    LineFile out = LineFile::createForWriting(folder.text("new.inc"));
    out.writeLine(u"x");
    const bool closed = out.close();
    ::umask(saved);
    ASSERT_TRUE(closed);
    struct stat status {};
    ASSERT_EQ(::stat(folder.file("new.inc").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, c.mode) << std::oct << c.mask;
    std::filesystem::remove(folder.file("new.inc"));
  }
}

// Root writes as itself: the replaced include must still belong to whoever
// owned the old one.
TEST(PosixFileRulesTest, AReplacedFileKeepsItsOwner) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give a file away";
  ScratchFolder folder;
  test::writeBytes(folder.file("out.inc"), "old\r\n");
  ASSERT_EQ(::chown(folder.file("out.inc").c_str(), 65534, 65534), 0);
  LineFile out = LineFile::createForWriting(folder.text("out.inc"));
  out.writeLine(u"new");
  ASSERT_TRUE(out.close());
  struct stat status {};
  ASSERT_EQ(::stat(folder.file("out.inc").c_str(), &status), 0);
  EXPECT_EQ(status.st_uid, 65534u);
  EXPECT_EQ(status.st_gid, 65534u);
  EXPECT_EQ(test::readBytes(folder.file("out.inc")), "new\r\n");
}

int openDescriptors() {
  int count = 0;
  DIR* fds = ::opendir("/proc/self/fd");
  if (fds == nullptr) return -1;
  while (const dirent* entry = ::readdir(fds)) {
    if (entry->d_name[0] != '.') ++count;
  }
  ::closedir(fds);
  return count;
}

// Every way a file ends, kept, abandoned, written in place or refused, gives
// back every descriptor it took, the old file's included.
TEST(PosixFileRulesTest, NoDescriptorOutlivesItsFile) {
  ScratchFolder folder;
  test::writeBytes(folder.file("old.inc"), "old\r\n");
  test::writeBytes(folder.file("in.txt"), "line\r\n");
  const int before = openDescriptors();
  ASSERT_GT(before, 0);
  {
    LineFile replaced = LineFile::createForWriting(folder.text("old.inc"));
    replaced.writeLine(u"new");
    EXPECT_TRUE(replaced.close());
    LineFile abandoned = LineFile::createForWriting(folder.text("old.inc"));
    abandoned.writeLine(u"newer");
    abandoned.abandon();
    LineFile fresh = LineFile::createForWriting(folder.text("fresh.inc"));
    EXPECT_TRUE(fresh.close());
    LineFile read = LineFile::openForReading(folder.text("in.txt"));
    EXPECT_EQ(read.readLine(), u"line");
    LineFile unclosed = LineFile::createForWriting(folder.text("other.inc"));
    unclosed.writeLine(u"lost");
  }
  EXPECT_EQ(openDescriptors(), before);
  EXPECT_EQ(test::readBytes(folder.file("old.inc")), "new\r\n");
}

// A path that runs through a file names nothing: "not found", as for a
// missing folder, when it is read and when it is written.
TEST(PosixFileRulesTest, APathThroughAFileIsNotFound) {
  ScratchFolder folder;
  test::writeBytes(folder.file("g.json"), "x\r\n");
  EXPECT_EQ(LineFile::openForReading(folder.text("g.json/x.json")).problem(),
            FileProblem::notFound);
  EXPECT_EQ(LineFile::createForWriting(folder.text("g.json/x.inc")).problem(),
            FileProblem::notFound);
}

}  // namespace
}  // namespace tintgrove
