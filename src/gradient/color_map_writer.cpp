#include "gradient/color_map_writer.h"

#include <array>
#include <cmath>
#include <new>

#include "gradient/entry_text.h"
#include "gradient/pov_names.h"
#include "textfile/line_file.h"

namespace tintgrove::ColorMapWriter {

namespace {

void writeLines(LineFile& file, TextView baseName, const Stops& stops,
                const HexCodeTable& table, Outcome& outcome) {
  Text line = u"//   converted to POV color_map from ";
  line += baseName;
  line += u".json";
  file.writeLine(line);
  file.writeLine(u"//   position counts: " + integerText(stops.positionCount()));
  file.writeLine(u"//   orlavex 03.20.26");
  file.writeLine(u"//  Using Huebrook for the .json file - Nice Gradient Editor ");
  file.writeLine(u"");
  file.writeLine(u"#declare " + declaredName(baseName) + u" = ");
  file.writeLine(u"   color_map {");

  // A found code gives a line number from 1 to 256: each is formatted once.
  std::array<Text, HexCodeTable::kLookupLines + 1> channelTexts;
  for (std::size_t k = 1; k < channelTexts.size(); ++k) {
    channelTexts[k] = channelNumberText(static_cast<float>(k));
  }
  Text notFound;
  for (std::size_t i = 0; i < stops.colorTexts.size(); ++i) {
    line = u"    [";
    // A stop without a position of its own gets the empty one.
    appendPositionText(line, i < stops.positionTexts.size() ? stops.positionTexts[i].view()
                                                            : TextView());
    line += u"   rgb <";
    const TextView color = stops.colorTexts[i].view();
    for (std::size_t channel = 0; channel < 3; ++channel) {
      if (channel > 0) line += u", ";
      const TextView code = Slice(color, 1 + 2 * static_cast<std::int64_t>(channel), 2);
      if (const std::int64_t tableLine = table.lineOf(code); tableLine >= 1) {
        line += channelTexts[static_cast<std::size_t>(tableLine)];
      } else {
        ++outcome.codesNotFound;
        notFound = code;
        notFound += u" ? ";
        line += channelNumberText(std::nearbyint(readPlainDecimal(notFound)));
      }
    }
    line += u">]";
    file.writeLine(line);
  }
  file.writeLine(u"   }");
}

}  // namespace

Outcome write(TextView includePath, TextView baseName, const Stops& stops,
              const HexCodeTable& table) {
  Outcome outcome;
  LineFile file = LineFile::createForWriting(includePath);
  if (!file.isOpen()) {
    outcome.problem = file.problem();
    return outcome;
  }
  try {
    writeLines(file, baseName, stops, table, outcome);
  } catch (const std::bad_alloc&) {
    // The file goes out of scope unclosed: the old include stays as it was.
    outcome.problem = FileProblem::notEnoughMemory;
    return outcome;
  }
  outcome.written = file.close();
  outcome.problem = file.problem();
  return outcome;
}

}  // namespace tintgrove::ColorMapWriter
