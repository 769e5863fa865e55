#include "textfile/line_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "textfile/platform_file.h"

namespace tintgrove {

namespace {

std::size_t configuredBufferSize = LineFile::fileBufferSize;

// Lines longer than this give their storage back once decoded, so that one
// huge line does not pin its memory for the rest of the run.
constexpr std::size_t kKeptLineCapacity = 1 << 20;

}  // namespace

struct LineFile::Open {
  enum class Mode { reading, writing };

  platform::FileId file = platform::kNoFile;
  Mode mode = Mode::reading;
  std::unique_ptr<unsigned char[]> buffer;  // null: work unbuffered
  std::size_t bufferSize = 0;
  std::size_t next = 0;   // reading: first unread byte
  std::size_t filled = 0; // reading: end of the unread bytes; writing: pending
  bool writeFailed = false;
  FileProblem problem = FileProblem::none;  // of the first failed write
  std::string lineBytes;  // reused from line to line
  std::string encoded;    // reused from line to line

  // Reading: the next byte, or -1 when there is none.
  int takeByte() {
    if (next < filled) return buffer[next++];
    if (!buffer) {
      unsigned char byte;
      return platform::readBytes(file, &byte, 1) == 1 ? byte : -1;
    }
    filled = platform::readBytes(file, buffer.get(), bufferSize);
    next = 0;
    if (filled == 0) return -1;
    return buffer[next++];
  }

  // Only ever called right after a successful takeByte.
  void putBack() {
    if (buffer) {
      --next;
    } else if (!platform::seekBackOne(file)) {
      // A descriptor that cannot seek loses the byte; reading goes on.
    }
  }

  void passOn(const unsigned char* bytes, std::size_t size) {
    if (size > 0 && !writeFailed && !platform::writeBytes(file, bytes, size, problem)) {
      // The rest would land out of order: nothing more is written.
      writeFailed = true;
    }
  }

  void flushPending() {
    passOn(buffer.get(), filled);
    filled = 0;
  }

  void writePiece(const unsigned char* bytes, std::size_t size) {
    if (!buffer) {
      passOn(bytes, size);
      return;
    }
    if (filled + size >= bufferSize) flushPending();
    if (size >= bufferSize) {
      passOn(bytes, size);
    } else {
      std::memcpy(buffer.get() + filled, bytes, size);
      filled += size;
    }
  }
};

namespace {

std::vector<LineFile::Open*>& openFiles() {
  static std::vector<LineFile::Open*> files;
  return files;
}

LineFile::Open* adopt(platform::FileId file, LineFile::Open::Mode mode) {
  auto open = std::make_unique<LineFile::Open>();
  open->file = file;
  open->mode = mode;
  if (configuredBufferSize > 0) {
    open->buffer.reset(new (std::nothrow) unsigned char[configuredBufferSize]);
    if (open->buffer) open->bufferSize = configuredBufferSize;
  }
  openFiles().push_back(open.get());
  return open.release();
}

// Closes and forgets the file; a file being written is kept only when `keep`
// and every write went through. The reason for a failure goes to `problem`.
bool closeOpen(LineFile::Open* open, bool keep, FileProblem& problem) {
  if (keep && open->mode == LineFile::Open::Mode::writing) open->flushPending();
  keep = keep && !open->writeFailed;
  FileProblem closing = FileProblem::none;
  const bool closed = platform::closeFile(open->file, keep, closing);
  const bool succeeded = closed && !open->writeFailed;
  problem = open->writeFailed ? open->problem : closing;
  auto& files = openFiles();
  files.erase(std::remove(files.begin(), files.end(), open), files.end());
  delete open;
  return succeeded;
}

}  // namespace

LineFile LineFile::failed(FileProblem problem) {
  return LineFile(problem == FileProblem::none ? FileProblem::other : problem);
}

LineFile LineFile::openForReading(TextView path) {
  FileProblem problem = FileProblem::none;
  const platform::FileId file = platform::openForReading(path, problem);
  if (file == platform::kNoFile) return failed(problem);
  return LineFile(adopt(file, Open::Mode::reading));
}

LineFile LineFile::createForWriting(TextView path) {
  FileProblem problem = FileProblem::none;
  const platform::FileId file = platform::createForWriting(path, problem);
  if (file == platform::kNoFile) return failed(problem);
  return LineFile(adopt(file, Open::Mode::writing));
}

void LineFile::closeAll() {
  auto& files = openFiles();
  FileProblem ignored;
  while (!files.empty()) closeOpen(files.back(), true, ignored);
}

bool LineFile::atEnd() {
  if (!open_ || open_->mode != Open::Mode::reading) return true;
  if (open_->takeByte() < 0) return true;
  open_->putBack();
  return false;
}

Text LineFile::readLine() {
  Text line;
  readLine(line);
  return line;
}

namespace {

// The first byte in [p, end) that may end a line (NUL, LF or CR), or end.
// Eight bytes at a time: a word without a byte below 14 holds no terminator.
const unsigned char* findTerminator(const unsigned char* p,
                                    const unsigned char* end) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighs = 0x8080808080808080u;
  const auto isTerminator = [](unsigned char byte) {
    return byte == 10 || byte == 13 || byte == 0;
  };
  while (end - p >= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    if (((word - kOnes * 14) & ~word & kHighs) != 0) {
      // Some byte is below 14: a terminator, or a tab and the like.
      for (int i = 0; i < 8; ++i) {
        if (isTerminator(p[i])) return p + i;
      }
    }
    p += 8;
  }
  while (p < end && !isTerminator(*p)) ++p;
  return p;
}

}  // namespace

void LineFile::readLine(Text& line) {
  line.clear();
  if (!open_ || open_->mode != Open::Mode::reading) return;
  Open& f = *open_;
  if (f.buffer) {
    // The usual case: the whole line and its terminator lie in the unread
    // bytes, and are decoded straight from the buffer.
    const unsigned char* begin = f.buffer.get() + f.next;
    const unsigned char* end = f.buffer.get() + f.filled;
    const unsigned char* stop = findTerminator(begin, end);
    if (stop + 1 < end || (stop < end && *stop != 13)) {
      std::size_t after = static_cast<std::size_t>(stop - f.buffer.get()) + 1;
      if (*stop == 13 && f.buffer[after] == 10) ++after;
      platform::decodeAnsi(begin, static_cast<std::size_t>(stop - begin), line);
      f.next = after;
      return;
    }
  }
  std::string& bytes = f.lineBytes;
  bytes.clear();
  for (;;) {
    // Collect the plain bytes of the buffer in one go.
    if (f.buffer) {
      const unsigned char* begin = f.buffer.get() + f.next;
      const unsigned char* end = f.buffer.get() + f.filled;
      const unsigned char* p = findTerminator(begin, end);
      bytes.append(reinterpret_cast<const char*>(begin),
                   static_cast<std::size_t>(p - begin));
      f.next += static_cast<std::size_t>(p - begin);
    }
    const int byte = f.takeByte();
    if (byte < 0 || byte == 0 || byte == 10) break;
    if (byte == 13) {
      const int after = f.takeByte();
      if (after >= 0 && after != 10) f.putBack();
      break;
    }
    bytes.push_back(static_cast<char>(byte));
  }
  platform::decodeAnsi(reinterpret_cast<const unsigned char*>(bytes.data()),
                       bytes.size(), line);
  if (bytes.capacity() > kKeptLineCapacity) std::string().swap(bytes);
}

void LineFile::writeLine(TextView text) {
  if (!open_ || open_->mode != Open::Mode::writing) return;
  Open& f = *open_;
  if (!text.empty()) {
    platform::encodeAnsi(text, f.encoded);
    f.writePiece(reinterpret_cast<const unsigned char*>(f.encoded.data()),
                 f.encoded.size());
    if (f.encoded.capacity() > kKeptLineCapacity) std::string().swap(f.encoded);
  }
  static const unsigned char lineEnd[] = {13, 10};
  f.writePiece(lineEnd, sizeof lineEnd);
}

bool LineFile::writesSucceeded() const {
  return open_ != nullptr && !open_->writeFailed;
}

bool LineFile::close() {
  if (!open_) return false;
  Open* open = open_;
  open_ = nullptr;
  return closeOpen(open, true, problem_);
}

void LineFile::abandon() {
  if (!open_) return;
  Open* open = open_;
  open_ = nullptr;
  closeOpen(open, false, problem_);
}

TextView problemText(FileProblem problem) {
  switch (problem) {
    case FileProblem::notFound: return u"not found";
    case FileProblem::inUse: return u"in use by another program";
    case FileProblem::notRegular: return u"not a regular file";
    case FileProblem::permissionDenied: return u"permission denied";
    case FileProblem::readOnly: return u"read-only file system";
    case FileProblem::diskFull: return u"disk full";
    case FileProblem::tooLarge: return u"file too large";
    case FileProblem::none:
    case FileProblem::other: break;
  }
  return {};
}

void testing::setFileBufferSizeForTesting(std::size_t size) {
  configuredBufferSize = size;
}

}  // namespace tintgrove
