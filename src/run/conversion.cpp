#include "run/conversion.h"

#include <clocale>

#include "gradient/color_map_writer.h"
#include "gradient/gradient_scanner.h"
#include "gradient/pov_names.h"
#include "textfile/platform_file.h"

namespace tintgrove::ConversionRun {

namespace {

constexpr char16_t kDialogTitle[] = u"Open .json file - v.02";
constexpr char16_t kDefaultPath[] = u"C:\\file.json";
constexpr char16_t kFilter[] = u"json (*.json)|*.json";
constexpr char16_t kTableFile[] = u"hex-bin.txt";
constexpr char16_t kNoticeTitle[] = u"Info:";
constexpr char16_t kCancelText[] = u"canceled";
// More summaries than this in one message box would not fit on a screen.
constexpr std::size_t kSummariesShown = 8;

}  // namespace

TableFile openTable(const std::vector<Text>& otherFolders) {
  TableFile table{LineFile::openForReading(kTableFile), {}, kTableFile, {}};
  const TextView separator = platform::folderSeparators().substr(0, 1);
  for (std::size_t i = 0; i < otherFolders.size() &&
                          table.file.problem() == FileProblem::notFound;
       ++i) {
    const Text path = otherFolders[i] + Text(separator) + kTableFile;
    LineFile file = LineFile::openForReading(path);
    if (file.problem() != FileProblem::notFound) {
      table.file = std::move(file);
      table.path = path;
    }
  }
  if (table.file.problem() == FileProblem::notFound) {
    table.searched = u"the working folder";
    for (const Text& folder : otherFolders) table.searched += u", " + folder;
  }
  table.load = HexCodeTable::load(table.file);
  return table;
}

Conversion convert(TextView chosenPath, const TableFile& table) {
  Conversion c;
  c.chosenPath = Text(chosenPath);
  c.names = outputNames(chosenPath, platform::folderSeparators());
  c.declaredName = declaredName(c.names.baseName);
  c.tableProblem = table.load.problem;
  c.tableSearched = table.searched;

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
  } else if (platform::sameFile(c.names.includePath, table.path)) {
    c.written.problem = FileProblem::isTheTable;
  } else {
    c.written = ColorMapWriter::write(c.names.includePath, c.names.baseName,
                                      scanned.stops, table.load.table);
  }
  return c;
}

int run(Dialogs& dialogs, const std::vector<Text>& tableFolders) {
  const Text chosenPath = dialogs.askForFile({kDialogTitle, kFilter, kDefaultPath});
  // The dialog may have loaded code that changed the locale.
  std::setlocale(LC_NUMERIC, "C");

  // The table is read before the cancel test and stays held, unshared, until
  // the run ends with this function.
  const TableFile table = openTable(tableFolders);

  if (chosenPath.empty()) return dialogs.showNotice(kNoticeTitle, kCancelText, false) ? 0 : 1;
  const Summary summary = summarize(convert(chosenPath, table));
  if (!dialogs.showNotice(kNoticeTitle, summary.text, summary.exitCode != 0)) return 1;
  return summary.exitCode;
}

int convertFiles(Dialogs& dialogs, const std::vector<Text>& files, bool oneNotice,
                 const std::vector<Text>& tableFolders) {
  const TableFile table = openTable(tableFolders);
  std::vector<Summary> summaries;
  int exitCode = 0;
  for (const Text& file : files) {
    Summary summary = summarize(convert(file, table));
    if (summary.exitCode != 0) exitCode = 1;
    if (oneNotice) {
      summaries.push_back(std::move(summary));
    } else if (!dialogs.showNotice(kNoticeTitle, summary.text, summary.exitCode != 0)) {
      exitCode = 1;
    }
  }
  if (oneNotice) {
    const Summary all = combined(summaries, kSummariesShown);
    if (!dialogs.showNotice(kNoticeTitle, all.text, all.exitCode != 0)) exitCode = 1;
  }
  return exitCode;
}

}  // namespace tintgrove::ConversionRun
