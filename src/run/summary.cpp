#include "run/summary.h"

namespace tintgrove {

namespace {

constexpr char16_t kBanner[] = u"Tintgrove 0.2  orlavex 03.20.2026";
// POV-Ray refuses a color_map with more entries ("Blend_Map too long").
constexpr std::int64_t kPovRayColorLimit = 256;

class Lines {
 public:
  void add(TextView text) {
    text_ += text;
    text_ += u'\r';
  }
  // "what: why", or just "what" when there is no reason to tell.
  void cannot(TextView what, TextView file, FileProblem problem) {
    Text line(what);
    line += file;
    const TextView why = problemText(problem);
    if (!why.empty()) {
      line += u": ";
      line += why;
    }
    add(line);
  }
  const Text& text() const { return text_; }

 private:
  Text text_;
};

// A read that ran out of memory was opened: it is the reading that failed.
void cannotRead(Lines& lines, TextView file, FileProblem problem) {
  if (problem == FileProblem::none) return;
  lines.cannot(problem == FileProblem::notEnoughMemory ? u"cannot read all of "
                                                       : u"cannot open ",
               file, problem);
}

}  // namespace

Summary summarize(const Conversion& c) {
  const bool created = c.written.written;
  Lines lines;
  lines.add(kBanner);
  lines.add(c.names.baseName + (created ? u".inc created " : u".inc not created "));
  lines.add(integerText(c.colorCount) + u" colors in gradient");
  if (created && c.declaredName != c.names.baseName) {
    lines.add(u"declared as " + c.declaredName);
  }
  cannotRead(lines, c.chosenPath, c.gradientProblem);
  if (c.tableProblem == FileProblem::notFound && !c.tableSearched.empty()) {
    lines.add(u"cannot open hex-bin.txt: not found in " + c.tableSearched);
  } else {
    cannotRead(lines, u"hex-bin.txt", c.tableProblem);
  }
  if (c.writeAttempted && !created) {
    lines.cannot(u"cannot write ", c.names.includePath, c.written.problem);
  }
  if (c.gradientProblem == FileProblem::none && c.colorCount == 0) {
    lines.add(u"no color stops found in " + c.names.filePart);
  }
  if (created && c.written.codesNotFound > 0) {
    lines.add(integerText(c.written.codesNotFound) + u" color codes not found in hex-bin.txt");
  }
  if (created && c.colorCount > kPovRayColorLimit) {
    lines.add(u"POV-Ray accepts at most 256 colors per color_map");
  }
  // A conversion has done its job only with an include in place.
  return {lines.text(), created ? 0 : 1};
}

Summary combined(const std::vector<Summary>& summaries, std::size_t shown) {
  Summary all;
  all.text = kBanner;
  all.text += u'\r';
  std::size_t failedUnshown = 0;
  for (std::size_t i = 0; i < summaries.size(); ++i) {
    const Summary& summary = summaries[i];
    if (summary.exitCode != 0) all.exitCode = 1;
    if (i >= shown) {
      failedUnshown += summary.exitCode != 0;
      continue;
    }
    if (i > 0) all.text += u'\r';
    // Each summary without its banner.
    const auto bodyStart = summary.text.find(u'\r');
    all.text += TextView(summary.text).substr(bodyStart == Text::npos ? 0 : bodyStart + 1);
  }
  if (summaries.size() > shown) {
    all.text += u'\r';
    all.text += u"and " + integerText(static_cast<std::int64_t>(summaries.size() - shown)) +
                u" more files, " + integerText(static_cast<std::int64_t>(failedUnshown)) +
                u" of them not converted";
    all.text += u'\r';
  }
  return all;
}

}  // namespace tintgrove
