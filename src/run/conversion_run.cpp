#include "run/conversion_run.h"

#include <clocale>
#include <new>

#include "gradient/color_map_writer.h"
#include "gradient/gradient_scanner.h"
#include "textfile/line_file.h"

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

// The summary notice: CR-terminated lines; any "cannot" line makes the run
// end with exit code 1.
class Summary {
 public:
  void line(TextView text) {
    text_ += text;
    text_ += u'\r';
  }
  void failure(TextView text) {
    line(text);
    failed_ = true;
  }
  const Text& text() const { return text_; }
  bool failed() const { return failed_; }

 private:
  Text text_;
  bool failed_ = false;
};

Text joined(TextView a, TextView b) {
  Text text(a);
  text += b;
  return text;
}

}  // namespace

void deriveNames(RunState& state) {
  const TextView path = state.chosenPath;
  const auto separator = path.find_last_of(u"\\/");
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
  deriveNames(state);

  // The table is read before the cancel test, as it always has been. Memory
  // can run out on any line of any file: the run then says so and writes
  // nothing, rather than end without a notice.
  bool tableOpened = false;
  bool tableOutOfMemory = false;
  try {
    tableOpened = state.codeTable.load(kTableFile);
  } catch (const std::bad_alloc&) {
    tableOpened = true;
    tableOutOfMemory = true;
  }

  if (state.chosenPath.empty()) {
    const bool shown = dialogs.showNotice(kNoticeTitle, kCancelText);
    LineFile::closeAll();
    return shown ? 0 : 1;
  }

  bool gradientOpened = false;
  bool outOfMemory = false;
  try {
    gradientOpened = GradientScanner::scan(state.chosenPath, state);
  } catch (const std::bad_alloc&) {
    gradientOpened = true;
    outOfMemory = true;
  }

  // Without the table every channel would be wrong, and with a partial scan
  // stops would be missing: write nothing rather than a wrong file.
  bool attempted = false;
  ColorMapWriter::Outcome written;
  if (state.colorCount() > 0 && tableOpened && !tableOutOfMemory &&
      !outOfMemory) {
    attempted = true;
    try {
      written = ColorMapWriter::write(state);
    } catch (const std::bad_alloc&) {
      written = ColorMapWriter::Outcome();
    }
  }

  Summary summary;
  summary.line(kBanner);
  summary.line(state.baseName +
               (written.written ? u".inc created " : u".inc not created "));
  summary.line(integerText(state.colorCount()) + u" colors in gradient");
  if (!gradientOpened) summary.failure(joined(u"cannot open ", state.chosenPath));
  if (outOfMemory) {
    summary.failure(joined(u"cannot read all of ", state.chosenPath) +
                    u": not enough memory");
  }
  if (!tableOpened) summary.failure(u"cannot open hex-bin.txt");
  if (tableOutOfMemory) {
    summary.failure(u"cannot read all of hex-bin.txt: not enough memory");
  }
  if (attempted && !written.written) {
    summary.failure(joined(u"cannot write ", state.includePath));
  }
  if (written.codesNotFound > 0) {
    summary.line(integerText(written.codesNotFound) +
                 u" color codes not found in hex-bin.txt");
  }
  if (written.written && state.colorCount() > kPovRayColorLimit) {
    summary.line(u"POV-Ray reads at most 256 colors per color_map");
  }
  const bool shown = dialogs.showNotice(kNoticeTitle, summary.text());

  LineFile::closeAll();
  return summary.failed() || !shown ? 1 : 0;
}

}  // namespace tintgrove::ConversionRun
