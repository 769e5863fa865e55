#include "run/conversion_run.h"

#include <clocale>
#include <new>

#include "gradient/color_map_writer.h"
#include "gradient/gradient_scanner.h"
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
constexpr char16_t kBanner[] = u"Tintgrove 0.2  orlavex 03.20.2026";
// POV-Ray stops with "Blend_Map too long" past this many entries.
constexpr std::int64_t kPovRayColorLimit = 256;

// The summary notice: CR-terminated lines.
class Summary {
 public:
  void line(TextView text) {
    text_ += text;
    text_ += u'\r';
  }
  const Text& text() const { return text_; }

 private:
  Text text_;
};

Text joined(TextView a, TextView b) {
  Text text(a);
  text += b;
  return text;
}

// "what: why", or just "what" when there is no reason to tell.
Text because(TextView what, TextView why) {
  Text text(what);
  if (!why.empty()) {
    text += u": ";
    text += why;
  }
  return text;
}

}  // namespace

void deriveNames(RunState& state, TextView separators) {
  const TextView path = state.chosenPath;
  const auto separator = path.find_last_of(separators);
  const std::size_t fileStart = separator == TextView::npos ? 0 : separator + 1;
  state.folderPart = Text(path.substr(0, fileStart));
  state.filePart = Text(path.substr(fileStart));
  const auto fileLength = static_cast<std::int64_t>(state.filePart.size());
  state.baseName = Text(Slice(state.filePart, 1, fileLength - 5));
  state.includePath = state.folderPart + state.baseName + u".inc";
}

int run(Dialogs& dialogs, RunState& state) {
  state.chosenPath =
      dialogs.askForFile({kDialogTitle, kFilter, kDefaultPath});
  // The dialog may have loaded code that changed the locale.
  std::setlocale(LC_NUMERIC, "C");
  deriveNames(state, platform::folderSeparators());

  // The table is read before the cancel test. Memory can run out on any line
  // of any file: the run then says so and writes nothing, rather than end
  // without a notice.
  FileProblem tableProblem = FileProblem::none;
  bool tableOutOfMemory = false;
  try {
    tableProblem = state.codeTable.load(kTableFile);
  } catch (const std::bad_alloc&) {
    tableOutOfMemory = true;
  }

  if (state.chosenPath.empty()) {
    const bool shown = dialogs.showNotice(kNoticeTitle, kCancelText);
    LineFile::closeAll();
    return shown ? 0 : 1;
  }

  FileProblem gradientProblem = FileProblem::none;
  bool outOfMemory = false;
  try {
    gradientProblem = GradientScanner::scan(state.chosenPath, state);
  } catch (const std::bad_alloc&) {
    outOfMemory = true;
  }
  const bool gradientRead = gradientProblem == FileProblem::none && !outOfMemory;
  const bool tableRead = tableProblem == FileProblem::none && !tableOutOfMemory;

  // Without the table every channel would be wrong, and with a partial scan
  // stops would be missing: write nothing rather than a wrong file. Nor may
  // the include take the place of the files it is made from.
  bool attempted = false;
  Text writeReason;
  ColorMapWriter::Outcome written;
  if (state.colorCount() > 0 && tableRead && gradientRead) {
    attempted = true;
    if (platform::sameFile(state.includePath, state.chosenPath)) {
      writeReason = u"same file as the gradient";
    } else if (platform::sameFile(state.includePath, kTableFile)) {
      writeReason = u"same file as hex-bin.txt";
    } else {
      try {
        written = ColorMapWriter::write(state);
      } catch (const std::bad_alloc&) {
        written = ColorMapWriter::Outcome();
        writeReason = u"not enough memory";
      }
      if (writeReason.empty()) writeReason = problemText(written.problem);
    }
  }

  Summary summary;
  summary.line(kBanner);
  summary.line(state.baseName +
               (written.written ? u".inc created " : u".inc not created "));
  summary.line(integerText(state.colorCount()) + u" colors in gradient");
  const Text declared = ColorMapWriter::declaredName(state.baseName);
  if (written.written && declared != state.baseName) {
    summary.line(joined(u"declared as ", declared));
  }
  if (gradientProblem != FileProblem::none) {
    summary.line(because(joined(u"cannot open ", state.chosenPath),
                         problemText(gradientProblem)));
  }
  if (outOfMemory) {
    summary.line(because(joined(u"cannot read all of ", state.chosenPath),
                         u"not enough memory"));
  }
  if (tableProblem != FileProblem::none) {
    summary.line(because(u"cannot open hex-bin.txt", problemText(tableProblem)));
  }
  if (tableOutOfMemory) {
    summary.line(because(u"cannot read all of hex-bin.txt", u"not enough memory"));
  }
  if (attempted && !written.written) {
    summary.line(because(joined(u"cannot write ", state.includePath), writeReason));
  }
  if (gradientRead && state.colorCount() == 0) {
    summary.line(joined(u"no color stops found in ", state.filePart));
  }
  if (written.written && written.codesNotFound > 0) {
    summary.line(integerText(written.codesNotFound) +
                 u" color codes not found in hex-bin.txt");
  }
  if (written.written && state.colorCount() > kPovRayColorLimit) {
    summary.line(u"POV-Ray accepts at most 256 colors per color_map");
  }
  const bool shown = dialogs.showNotice(kNoticeTitle, summary.text());

  LineFile::closeAll();
  return written.written && shown ? 0 : 1;
}

}  // namespace tintgrove::ConversionRun
