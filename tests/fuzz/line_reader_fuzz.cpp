// libFuzzer target: LineFile reading over arbitrary bytes, checked against a
// plain model of the line rules, with the buffer size chosen by the input so
// that refills fall everywhere (0: the unbuffered fallback). The lines read
// are then written back and must come out as the lines joined by CR LF.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "textfile/line_file.h"
#include "textfile/platform_file.h"
#include "test_support.h"

namespace {

using tintgrove::LineFile;
using tintgrove::Text;

// The rules spelled out once more, byte by byte: a line ends at LF, CR LF, a
// lone CR, NUL or the end of the data; no empty line after a last terminator.
std::vector<std::string> modelLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t i = 0;
  while (i < bytes.size()) {
    std::string line;
    while (i < bytes.size()) {
      const char c = bytes[i++];
      if (c == '\0' || c == '\n') break;
      if (c == '\r') {
        if (i < bytes.size() && bytes[i] == '\n') ++i;
        break;
      }
      line += c;
    }
    lines.push_back(line);
  }
  return lines;
}

// Two files in a folder of this process, removed at exit.
struct Scratch {
  Scratch() {
    const char* tmp = std::getenv("TMPDIR");
    folder = std::string(tmp && *tmp ? tmp : "/tmp") +
             "/tintgrove-fuzz-lines-" + std::to_string(::getpid());
    ::mkdir(folder.c_str(), 0700);
    in = folder + "/in.txt";
    out = folder + "/out.txt";
  }
  ~Scratch() {
    std::remove(in.c_str());
    std::remove(out.c_str());
    ::rmdir(folder.c_str());
  }
  std::string folder, in, out;
};

const Scratch& scratch() {
  static const Scratch files;
  return files;
}

void check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "line reader fuzz: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const std::size_t kSizes[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 16, 64, 4096};
  const std::size_t bufferSize = kSizes[data[0] % std::size(kSizes)];
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  tintgrove::test::writeBytes(scratch().in, bytes);
  const std::vector<std::string> expected = modelLines(bytes);

  LineFile file =
      LineFile::openForReading(tintgrove::test::pathText(scratch().in), bufferSize);
  check(file.isOpen(), "cannot open the input");
  std::vector<Text> lines;
  Text line;
  while (!file.atEnd()) {
    check(lines.size() < expected.size(), "more lines than the model");
    // Alternate whole lines and lines in parts; both must agree.
    if (lines.size() % 2 == 0) {
      file.readLine(line);
      lines.push_back(line);
    } else {
      Text whole, part;
      bool last = false;
      while (!last) {
        last = file.readLinePart(part);
        whole += part;
      }
      lines.push_back(whole);
    }
  }
  check(file.readLine().empty(), "a line after the end");
  check(file.atEnd(), "end test changed its answer");
  file.close();
  check(lines.size() == expected.size(), "fewer lines than the model");

  std::string joined;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    check(lines[i].size() == expected[i].size(), "one character per byte");
    std::string encoded;
    tintgrove::platform::encodeAnsi(lines[i], encoded);
    check(encoded == expected[i], "decode and encode change a byte");
    joined += encoded;
    joined += "\r\n";
  }

  LineFile out =
      LineFile::createForWriting(tintgrove::test::pathText(scratch().out), bufferSize);
  check(out.isOpen(), "cannot create the output");
  for (const Text& written : lines) out.writeLine(written);
  check(out.close(), "writing failed");
  check(tintgrove::test::readBytes(scratch().out) == joined, "written bytes differ");
  return 0;
}
