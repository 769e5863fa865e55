// Line-oriented text files in the ANSI code page: the program's only access
// to files.
#pragma once

#include <cstddef>
#include <memory>

#include "textfile/file_problem.h"
#include "textfile/text.h"

namespace tintgrove {

// Takes the lines of a file as their bytes (see LineFile::readAllLineBytes),
// good only during the call.
class LineSink {
 public:
  // A line that came whole, the usual case.
  virtual void takeLine(ByteView line) = 0;
  // A part of a line that refills cut, at most one refill's worth; `last`
  // when it ends the line.
  virtual void takePart(ByteView part, bool last) = 0;

 protected:
  ~LineSink() = default;
};

// One open file, or none when the open failed: then every operation treats
// it as an empty file that swallows writes, and problem() tells why. A file
// is closed when it goes out of scope; one being written is then abandoned,
// so that only an explicit close() puts a new file in place.
class LineFile {
 public:
  static constexpr std::size_t fileBufferSize = 4096;

  // `bufferSize` 0 reads and writes byte by byte, as a file whose buffer
  // cannot be had does.
  static LineFile openForReading(TextView path,
                                 std::size_t bufferSize = fileBufferSize);
  // A new version of the file at `path`, which takes the old one's place
  // only when close() finds every write done.
  static LineFile createForWriting(TextView path,
                                   std::size_t bufferSize = fileBufferSize);

  LineFile(LineFile&& other) noexcept;
  LineFile& operator=(LineFile&& other) noexcept;
  LineFile(const LineFile&) = delete;
  LineFile& operator=(const LineFile&) = delete;
  ~LineFile();

  bool isOpen() const { return open_ != nullptr; }
  // Why the open failed, or, once closed, why the writes or the close did.
  FileProblem problem() const { return problem_; }

  // True when no byte is left; takes nothing from the file.
  bool atEnd();
  // The next line without its terminator (LF, CR LF, lone CR or NUL).
  Text readLine();
  void readLine(Text& line);
  // The next part of the current line, at most what one refill brings, so
  // that a line of any length costs no more memory than that. True when it
  // is the last part of the line.
  bool readLinePart(Text& part);
  // The same part as the file's own bytes, not decoded: a view into the
  // file's buffer, good until the next read.
  bool readLineBytes(ByteView& part);
  // Every line left, as readLineBytes would give it, handed to `sink` from
  // one loop over each refill: a long file then costs no call per line
  // besides the sink's.
  void readAllLineBytes(LineSink& sink);

  // The text in the code page, then CR LF.
  void writeLine(TextView text);
  // Bytes already in the code page, then CR LF.
  void writeLineBytes(ByteView bytes);
  // True while every write to the platform file has succeeded.
  bool writesSucceeded() const;
  // Passes pending bytes on and closes; a file being written then takes the
  // old one's place. True when the file was open and everything succeeded.
  bool close();
  // Closes a file being written without keeping anything of it: the old
  // file under that name stays as it was.
  void abandon();

  struct Open;  // the open file's state, private to line_file.cpp

 private:
  explicit LineFile(std::unique_ptr<Open> open);
  explicit LineFile(FileProblem problem);
  void finish(bool keep);

  std::unique_ptr<Open> open_;
  FileProblem problem_ = FileProblem::none;
};

}  // namespace tintgrove
