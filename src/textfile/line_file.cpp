#include "textfile/line_file.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>

#include "textfile/platform_file.h"

namespace tintgrove {

namespace {

// When reading, the byte behind the data in the buffer is a terminator of
// our own, so that findTerminator needs no test for the end, and eight more
// bytes follow it, so that a word read anywhere up to it stays in the buffer.
constexpr unsigned char kSentinel = 10;
constexpr std::size_t kBehindData = 1 + 8;

}  // namespace

struct LineFile::Open {
  enum class Mode { reading, writing };

  platform::FileId file = platform::kNoFile;
  Mode mode = Mode::reading;
  std::unique_ptr<unsigned char[]> buffer;  // null: work unbuffered
  std::size_t bufferSize = 0;
  std::size_t next = 0;    // reading: first unread byte
  std::size_t filled = 0;  // reading: end of the unread bytes; writing: pending
  bool writeFailed = false;
  FileProblem problem = FileProblem::none;  // of the first failed write
  std::string encoded;  // reused from line to line
  unsigned char single = 0;  // unbuffered reading: the part readLineBytes shows
  // A line ended with the CR that was the buffer's last byte. Its LF, if any,
  // is skipped by the next refill rather than at once, which would overwrite
  // the line's bytes while the caller still looks at them.
  bool lineFeedMayFollow = false;

  bool reading() const { return mode == Mode::reading; }

  // Reading: the next byte, or -1 when there is none.
  int takeByte() {
    if (next < filled) return buffer[next++];
    if (!buffer) {
      unsigned char byte;
      return platform::readBytes(file, &byte, 1) == 1 ? byte : -1;
    }
    if (!refill()) return -1;
    return buffer[next++];
  }

  // False at the end of the data.
  bool refill() {
    do {
      filled = platform::readBytes(file, buffer.get(), bufferSize);
      buffer[filled] = kSentinel;
      next = 0;
      // The CR that ended the last buffer and an LF that starts this one are
      // one terminator.
      if (lineFeedMayFollow && filled > 0 && buffer[0] == 10) next = 1;
      lineFeedMayFollow = false;
    } while (filled > 0 && next == filled);
    return filled > 0;
  }

  // Where reading goes on after the terminator at `stop` in the buffer,
  // whose data end at `end`: a CR takes an LF right after it along, or, as
  // the last byte of the data, leaves an LF to the next refill.
  const unsigned char* pastTerminator(const unsigned char* stop, const unsigned char* end) {
    const unsigned char* after = stop + 1;
    if (*stop == 13) {
      if (after == end) {
        lineFeedMayFollow = true;
      } else if (*after == 10) {
        ++after;
      }
    }
    return after;
  }

  // Only ever called right after a successful takeByte. A descriptor that
  // cannot seek loses the byte; reading goes on.
  void putBack() {
    if (buffer) {
      --next;
    } else {
      (void)platform::seekBackOne(file);
    }
  }

  // After a CR: an LF right after it belongs to the same terminator.
  void skipLineFeed() {
    const int after = takeByte();
    if (after >= 0 && after != 10) putBack();
  }

  void passOn(const unsigned char* bytes, std::size_t size) {
    // After a failure the rest would land out of order: nothing more goes.
    if (size > 0 && !writeFailed && !platform::writeBytes(file, bytes, size, problem)) {
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


// The first byte from p on that may end a line (NUL, LF or CR): at the
// latest the kSentinel behind the data. Eight bytes at a time: a word
// without a byte below 14 holds no terminator, and the lowest byte the test
// flags is truly below 14 (bytes above it may be flagged falsely), so each
// flagged byte is looked at in order.
const unsigned char* findTerminator(const unsigned char* p) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighs = 0x8080808080808080u;
  const auto isTerminator = [](unsigned char byte) {
    return byte == 10 || byte == 13 || byte == 0;
  };
  for (;; p += 8) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    std::uint64_t flagged = (word - kOnes * 14) & ~word & kHighs;
    if constexpr (std::endian::native == std::endian::little) {
      // The flags come out in the bytes' order.
      for (; flagged != 0; flagged &= flagged - 1) {
        const unsigned char* byte = p + std::countr_zero(flagged) / 8;
        if (isTerminator(*byte)) return byte;
      }
    } else if (flagged != 0) {
      for (int i = 0; i < 8; ++i) {
        if (isTerminator(p[i])) return p + i;
      }
    }
  }
}

}  // namespace

LineFile::LineFile(std::unique_ptr<Open> open) : open_(std::move(open)) {}

LineFile::LineFile(FileProblem problem)
    : problem_(problem == FileProblem::none ? FileProblem::other : problem) {}

LineFile::LineFile(LineFile&& other) noexcept
    : open_(std::move(other.open_)), problem_(other.problem_) {}

LineFile& LineFile::operator=(LineFile&& other) noexcept {
  if (this != &other) {
    finish(false);
    open_ = std::move(other.open_);
    problem_ = other.problem_;
  }
  return *this;
}

LineFile::~LineFile() { finish(false); }

namespace {

std::unique_ptr<LineFile::Open> adopt(platform::FileId file,
                                      LineFile::Open::Mode mode,
                                      std::size_t bufferSize) {
  auto open = std::make_unique<LineFile::Open>();
  open->file = file;
  open->mode = mode;
  if (bufferSize > 0) {
    // Without its buffer the file still works, a byte at a time.
    open->buffer.reset(new (std::nothrow) unsigned char[bufferSize + kBehindData]());
    if (open->buffer) open->bufferSize = bufferSize;
  }
  return open;
}

}  // namespace

LineFile LineFile::openForReading(TextView path, std::size_t bufferSize) {
  FileProblem problem = FileProblem::none;
  const platform::FileId file = platform::openForReading(path, problem);
  if (file == platform::kNoFile) return LineFile(problem);
  try {
    return LineFile(adopt(file, Open::Mode::reading, bufferSize));
  } catch (const std::bad_alloc&) {
    platform::closeFile(file, false, problem);
    return LineFile(FileProblem::notEnoughMemory);
  }
}

LineFile LineFile::createForWriting(TextView path, std::size_t bufferSize) {
  FileProblem problem = FileProblem::none;
  const platform::FileId file = platform::createForWriting(path, problem);
  if (file == platform::kNoFile) return LineFile(problem);
  try {
    return LineFile(adopt(file, Open::Mode::writing, bufferSize));
  } catch (const std::bad_alloc&) {
    platform::closeFile(file, false, problem);
    return LineFile(FileProblem::notEnoughMemory);
  }
}

// Closes the file; one being written takes the old one's place only when
// `keep` and every write went through.
void LineFile::finish(bool keep) {
  if (!open_) return;
  const std::unique_ptr<Open> open = std::move(open_);
  if (!open->reading()) {
    if (keep) open->flushPending();
    keep = keep && !open->writeFailed;
  }
  FileProblem closing = FileProblem::none;
  const bool closed = platform::closeFile(open->file, keep, closing);
  problem_ = open->writeFailed ? open->problem : closed ? FileProblem::none : closing;
}

bool LineFile::atEnd() {
  if (!open_ || !open_->reading()) return true;
  if (open_->takeByte() < 0) return true;
  open_->putBack();
  return false;
}

Text LineFile::readLine() {
  Text line;
  readLine(line);
  return line;
}

void LineFile::readLine(Text& line) {
  if (readLinePart(line)) return;
  Text part;
  bool last = false;
  while (!last) {
    last = readLinePart(part);
    line += part;
  }
}

bool LineFile::readLinePart(Text& part) {
  ByteView bytes;
  const bool last = readLineBytes(bytes);
  platform::decodeAnsi(bytes.data(), bytes.size(), part);
  return last;
}

bool LineFile::readLineBytes(ByteView& part) {
  part = {};
  if (!open_ || !open_->reading()) return true;
  Open& f = *open_;
  if (!f.buffer) {
    const int byte = f.takeByte();
    if (byte < 0 || byte == 0 || byte == 10) return true;
    if (byte == 13) {
      f.skipLineFeed();
      return true;
    }
    f.single = static_cast<unsigned char>(byte);
    part = ByteView(&f.single, 1);
    return false;
  }
  if (f.next == f.filled && !f.refill()) return true;
  const unsigned char* begin = f.buffer.get() + f.next;
  const unsigned char* end = f.buffer.get() + f.filled;
  const unsigned char* stop = findTerminator(begin);
  part = ByteView(begin, stop);
  if (stop == end) {
    f.next = f.filled;
    return false;  // the line goes on after the next refill
  }
  f.next = static_cast<std::size_t>(f.pastTerminator(stop, end) - f.buffer.get());
  return true;
}

void LineFile::readAllLineBytes(LineSink& sink) {
  if (!open_ || !open_->reading()) return;
  Open& f = *open_;
  if (!f.buffer) {
    ByteView part;
    while (!atEnd()) {
      if (readLineBytes(part)) {
        sink.takeLine(part);
        continue;
      }
      bool last = false;
      sink.takePart(part, last);
      while (!last) {
        last = readLineBytes(part);
        sink.takePart(part, last);
      }
    }
    return;
  }
  bool lineGoesOn = false;  // the last part handed over did not end its line
  for (;;) {
    if (f.next == f.filled && !f.refill()) {
      // The end of the data ends the line too.
      if (lineGoesOn) sink.takePart({}, true);
      return;
    }
    const unsigned char* const start = f.buffer.get();
    const unsigned char* begin = start + f.next;
    const unsigned char* const end = start + f.filled;
    for (;;) {
      const unsigned char* stop = findTerminator(begin);
      if (stop == end) {
        // The rest of the buffer starts a line that the next refill goes on
        // with.
        f.next = f.filled;
        if (begin != end) {
          sink.takePart(ByteView(begin, end), false);
          lineGoesOn = true;
        }
        break;
      }
      const ByteView line(begin, stop);
      begin = f.pastTerminator(stop, end);
      f.next = static_cast<std::size_t>(begin - start);
      if (lineGoesOn) {
        sink.takePart(line, true);
        lineGoesOn = false;
      } else {
        sink.takeLine(line);
      }
    }
  }
}

void LineFile::writeLine(TextView text) {
  if (!open_ || open_->reading()) return;
  Open& f = *open_;
  if (!text.empty()) {
    platform::encodeAnsi(text, f.encoded);
    f.writePiece(reinterpret_cast<const unsigned char*>(f.encoded.data()),
                 f.encoded.size());
  }
  static const unsigned char lineEnd[] = {13, 10};
  f.writePiece(lineEnd, sizeof lineEnd);
}

void LineFile::writeLineBytes(ByteView bytes) {
  if (!open_ || open_->reading()) return;
  Open& f = *open_;
  f.writePiece(bytes.data(), bytes.size());
  static const unsigned char lineEnd[] = {13, 10};
  f.writePiece(lineEnd, sizeof lineEnd);
}

bool LineFile::writesSucceeded() const {
  return open_ != nullptr && !open_->writeFailed;
}

bool LineFile::close() {
  if (!open_) return false;
  finish(true);
  return problem_ == FileProblem::none;
}

void LineFile::abandon() { finish(false); }

TextView problemText(FileProblem problem) {
  switch (problem) {
    case FileProblem::notFound: return u"not found";
    case FileProblem::inUse: return u"in use by another program";
    case FileProblem::notRegular: return u"not a regular file";
    case FileProblem::permissionDenied: return u"permission denied";
    case FileProblem::readOnly: return u"read-only file system";
    case FileProblem::diskFull: return u"disk full";
    case FileProblem::tooLarge: return u"file too large";
    case FileProblem::notEnoughMemory: return u"not enough memory";
    case FileProblem::isTheGradient: return u"same file as the gradient";
    case FileProblem::isTheTable: return u"same file as hex-bin.txt";
    case FileProblem::none:
    case FileProblem::other: break;
  }
  return {};
}

}  // namespace tintgrove
