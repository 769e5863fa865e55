#include "gradient/gradient_scanner.h"

#include <new>

#include "textfile/line_file.h"

namespace tintgrove::GradientScanner {

void scanLine(TextView line, RunState& state) {
  const auto n = static_cast<std::int64_t>(line.size());
  if (Slice(line, 6, 8) == u"position") {
    // The value runs to the end of the line; only a trailing comma goes, so
    // the last member of an object keeps its last digit.
    TextView value = Slice(line, 17, n - 16);
    if (!value.empty() && value.back() == u',') value.remove_suffix(1);
    state.positionTexts.append(value);
  }
  if (Slice(line, 15, 1) == u"#") {
    state.colorTexts.append(Slice(line, 16, n - 16));
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
