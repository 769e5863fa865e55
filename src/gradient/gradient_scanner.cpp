#include "gradient/gradient_scanner.h"

#include <cstring>
#include <new>

#include "textfile/line_file.h"

namespace tintgrove::GradientScanner {

void scanLine(TextView line, RunState& state) {
  // Slice(line, 6, 8) == "position" and Slice(line, 15, 1) == "#", written
  // out on the indexes: this runs for every line of a large file.
  const std::size_t n = line.size();
  static constexpr char16_t kPosition[] = u"position";
  if (n >= 13 && std::memcmp(line.data() + 5, kPosition, 8 * sizeof(char16_t)) == 0) {
    // The value runs to the end of the line, less what may follow a number
    // there (blanks, a comma, the object's or the list's end), so the last
    // member of an object keeps its last digit.
    TextView value = n > 16 ? line.substr(16) : TextView();
    while (!value.empty() && TextView(u" \t,}]").find(value.back()) != TextView::npos) {
      value.remove_suffix(1);
    }
    state.positionTexts.append(value);
  }
  if (n >= 15 && line[14] == u'#') {
    state.colorTexts.append(n > 16 ? line.substr(15, n - 16) : TextView());
  }
}

FileProblem scan(TextView path, RunState& state) {
  LineFile file = LineFile::openForReading(path);
  const FileProblem opened = file.problem();
  Text line;
  try {
    while (!file.atEnd()) {
      file.readLine(line);
      scanLine(line, state);
    }
  } catch (const std::bad_alloc&) {
    file.close();
    throw;
  }
  file.close();
  return opened;
}

}  // namespace tintgrove::GradientScanner
