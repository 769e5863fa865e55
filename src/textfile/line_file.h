// Line-oriented text files in the ANSI code page: the program's only access
// to files.
#pragma once

#include <cstddef>
#include <string>

#include "textfile/file_problem.h"
#include "textfile/text.h"

namespace tintgrove {

// A handle on one open file, or on none when an open failed. Every operation
// accepts none: it reads as an empty file and swallows writes, so callers can
// run their usual loops on it. A handle is dead once its file is closed.
class LineFile {
 public:
  static constexpr std::size_t fileBufferSize = 4096;

  LineFile() = default;

  static LineFile openForReading(TextView path);
  // A new version of the file at `path`, which takes the old one's place
  // only when close() finds every write done; see platform::createForWriting.
  static LineFile createForWriting(TextView path);
  // Closes every file still open, each as close() does.
  static void closeAll();

  bool isOpen() const { return open_ != nullptr; }
  // Why the open failed, or, once closed, why the writes or the close did.
  FileProblem problem() const { return problem_; }

  // True when no byte is left; takes nothing from the file.
  bool atEnd();
  // The next line without its terminator (LF, CR LF, lone CR or NUL).
  Text readLine();
  // The same into `line`, reusing its storage.
  void readLine(Text& line);

  // The text in the code page, then CR LF.
  void writeLine(TextView text);
  // True while every write to the platform file has succeeded.
  bool writesSucceeded() const;
  // Passes pending bytes on and closes. True when the file was open and every
  // write, the last one included, succeeded.
  bool close();
  // Closes a file being written without keeping anything of it: the old file
  // under that name stays as it was.
  void abandon();

  struct Open;

 private:
  explicit LineFile(Open* open) : open_(open) {}
  explicit LineFile(FileProblem problem) : problem_(problem) {}
  static LineFile failed(FileProblem problem);
  Open* open_ = nullptr;
  FileProblem problem_ = FileProblem::none;
};

namespace testing {
// Buffer size of files opened from now on; 0 makes them work unbuffered as
// when the buffer cannot be had. For tests and fuzzing only.
void setFileBufferSizeForTesting(std::size_t size);
}  // namespace testing

}  // namespace tintgrove
