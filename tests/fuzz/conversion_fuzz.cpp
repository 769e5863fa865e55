// libFuzzer target: the whole conversion in-process, from a gradient file and
// a code table made of the input, up to the summary. The input is the
// table, a line "====", then the gradient; without that line it is all
// gradient and the shipped table is used. Checked: no crash or UB, a notice
// that agrees with the exit code, and an include file whose every line is
// well formed, with one entry per colour.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "run/conversion.h"
#include "test_support.h"
#include "textfile/line_file.h"
#include "textfile/text.h"

namespace {

using namespace tintgrove;


void check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "conversion fuzz: %s\n", what);
    std::abort();
  }
}

// The run reads hex-bin.txt from the working directory: each input runs in a
// folder of our own, and the fuzzer's own folder is restored after it.
struct WorkFolder {
  WorkFolder() {
    const char* tmp = std::getenv("TMPDIR");
    path = std::string(tmp && *tmp ? tmp : "/tmp") + "/tintgrove-fuzz-run-" +
           std::to_string(::getpid());
    ::mkdir(path.c_str(), 0700);
  }
  ~WorkFolder() {
    for (const char* name : {"/hex-bin.txt", "/gradient.json", "/gradient.inc"}) {
      std::remove((path + name).c_str());
    }
    ::rmdir(path.c_str());
  }
  std::string path;
};

const std::string& workFolder() {
  static const WorkFolder folder;
  return folder.path;
}

std::string digitsOf(std::int64_t value) { return std::to_string(value); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string folder = workFolder();
  static const int home = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  check(home >= 0 && ::chdir(folder.c_str()) == 0, "cannot enter the work folder");
  struct GoHome {
    ~GoHome() { check(::fchdir(home) == 0, "cannot return to the start folder"); }
  } goHome;
  const auto split = input.find("\n====\n");
  test::writeBytes("hex-bin.txt", split == std::string::npos
                                      ? test::standardTable()
                                      : input.substr(0, split));
  test::writeBytes("gradient.json",
                   split == std::string::npos ? input : input.substr(split + 6));
  std::remove("gradient.inc");

  const std::string chosen = folder + "/gradient.json";
  const ConversionRun::TableFile table = ConversionRun::openTable({});
  const Conversion conversion =
      ConversionRun::convert(Text(chosen.begin(), chosen.end()), table);
  const Summary summary = summarize(conversion);

  const Text& notice = summary.text;
  check(notice.rfind(u"Tintgrove 0.2  orlavex 03.20.2026\r", 0) == 0, "banner");
  const std::string count = digitsOf(conversion.colorCount);
  const Text countLine = u"\r" + Text(count.begin(), count.end()) +
                         u" colors in gradient\r";
  check(notice.find(countLine) != Text::npos, "colour count line");
  const bool cannot = notice.find(u"\rcannot ") != Text::npos;
  const bool created = notice.find(u"\rgradient.inc created \r") != Text::npos;
  check(summary.exitCode == (created ? 0 : 1), "exit code agrees with the notice");
  check(!(created && cannot), "no cannot line beside a created include");
  check(created == (conversion.colorCount > 0), "created exactly when colours were found");
  check(created == (notice.find(u"\rdeclared as _gradient\r") != Text::npos),
        "the mended name is told");

  std::ifstream probe("gradient.inc", std::ios::binary);
  check(created == probe.good(), "include file exists when announced");
  if (!created) return 0;
  const std::string inc = test::readBytes("gradient.inc");
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < inc.size()) {
    const auto end = inc.find("\r\n", start);
    check(end != std::string::npos, "every line ends with CR LF");
    lines.push_back(inc.substr(start, end - start));
    start = end + 2;
  }
  const auto colors = static_cast<std::size_t>(conversion.colorCount);
  check(lines.size() == colors + 8, "one entry per colour");
  check(lines[0] == "//   converted to POV color_map from gradient.json", "line 1");
  static const std::regex kCount(R"(//   position counts: \d+)");
  check(std::regex_match(lines[1], kCount), "line 2");
  check(lines[2] == "//   orlavex 03.20.26", "line 3");
  check(lines[3] == "//  Using Huebrook for the .json file - Nice Gradient Editor ",
        "line 4");
  // "gradient" is a POV-Ray keyword: the declared name gets a "_" in front.
  check(lines[4].empty() && lines[5] == "#declare _gradient = " &&
            lines[6] == "   color_map {" && lines.back() == "   }",
        "fixed lines");
  // The position text is up to five characters of anything a line can hold
  // (plus its padding); the channels are numbers with three decimals.
  static const std::regex kEntry(
      R"(    \[[^\r\n\x00]{0,9}   rgb <-?\d\.\d{3}, -?\d\.\d{3}, -?\d\.\d{3}>\])");
  for (std::size_t i = 7; i < lines.size() - 1; ++i) {
    check(std::regex_match(lines[i], kEntry), "entry line well formed");
  }
  return 0;
}
