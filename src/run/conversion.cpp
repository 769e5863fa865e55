#include "run/conversion.h"

#include <clocale>

#include "gradient/color_map_writer.h"
#include "gradient/gradient_scanner.h"
#include "gradient/pov_names.h"
#include "textfile/line_file.h"
#include "textfile/platform_file.h"

namespace tintgrove::ConversionRun {

namespace {

constexpr char16_t kDialogTitle[] = u"Open .json file - v.02";
constexpr char16_t kDefaultPath[] = u"C:\\file.json";
constexpr char16_t kFilter[] = u"json (*.json)|*.json";
constexpr char16_t kTableFile[] = u"hex-bin.txt";
constexpr char16_t kNoticeTitle[] = u"Info:";
constexpr char16_t kCancelText[] = u"canceled";

}  // namespace

Conversion convert(TextView chosenPath, const HexCodeTable::Load& table) {
  Conversion c;
  c.chosenPath = Text(chosenPath);
  c.names = outputNames(chosenPath, platform::folderSeparators());
  c.declaredName = declaredName(c.names.baseName);
  c.tableProblem = table.problem;

  const GradientScanner::Result scanned = GradientScanner::scan(chosenPath);
  c.gradientProblem = scanned.problem;
  c.colorCount = scanned.stops.colorCount();

  // Without the whole table every channel would be wrong, and with a partial
  // scan stops would be missing: nothing is written rather than a wrong file.
  if (c.colorCount == 0 || c.tableProblem != FileProblem::none ||
      c.gradientProblem != FileProblem::none) {
    return c;
  }
  c.writeAttempted = true;
  // Nor may the include take the place of a file it is made from, whatever
  // the links between them.
  if (platform::sameFile(c.names.includePath, chosenPath)) {
    c.written.problem = FileProblem::isTheGradient;
  } else if (platform::sameFile(c.names.includePath, kTableFile)) {
    c.written.problem = FileProblem::isTheTable;
  } else {
    c.written = ColorMapWriter::write(c.names.includePath, c.names.baseName,
                                      scanned.stops, table.table);
  }
  return c;
}

int run(Dialogs& dialogs) {
  const Text chosenPath = dialogs.askForFile({kDialogTitle, kFilter, kDefaultPath});
  // The dialog may have loaded code that changed the locale.
  std::setlocale(LC_NUMERIC, "C");

  // The table is read before the cancel test and stays held, unshared, until
  // the run ends with this function.
  LineFile tableFile = LineFile::openForReading(kTableFile);
  const HexCodeTable::Load table = HexCodeTable::load(tableFile);

  if (chosenPath.empty()) return dialogs.showNotice(kNoticeTitle, kCancelText) ? 0 : 1;
  const Summary summary = summarize(convert(chosenPath, table));
  if (!dialogs.showNotice(kNoticeTitle, summary.text)) return 1;
  return summary.exitCode;
}

}  // namespace tintgrove::ConversionRun
