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
    // The value runs to the end of the line; only a trailing comma goes, so
    // the last member of an object keeps its last digit.
    TextView value = n > 16 ? line.substr(16) : TextView();
    if (!value.empty() && value.back() == u',') value.remove_suffix(1);
    state.positionTexts.append(value);
  }
  if (n >= 15 && line[14] == u'#') {
    state.colorTexts.append(n > 16 ? line.substr(15, n - 16) : TextView());
  }
}

bool scan(TextView path, RunState& state) {
  LineFile file = LineFile::openForReading(path);
  const bool opened = file.isOpen();
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
