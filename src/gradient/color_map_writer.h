// Writes the POV-Ray include file: one color_map with an entry per stop.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "run/run_state.h"
#include "textfile/file_problem.h"
#include "textfile/text.h"

namespace tintgrove::ColorMapWriter {

struct Outcome {
  bool written = false;            // every line reached the file and it closed
  FileProblem problem = FileProblem::none;  // why not, when it was not
  std::int64_t codesNotFound = 0;  // channel lookups that found no table line
};

// Creates state.includePath and writes the whole file.
Outcome write(const RunState& state);

// The pieces, for the tests.
Text positionText(TextView positionText);
// The longest plain decimal prefix (white space, sign, digits, fraction,
// exponent) rounded to single precision; 0 without one.
float readPlainDecimal(TextView text);
// The channel value of a channel integer, written with three decimals.
Text channelNumberText(float channelInteger);
// baseName made a valid POV-Ray identifier.
Text declaredName(TextView baseName);
bool isReservedWord(TextView word);
// All of them, sorted.
std::span<const std::u16string_view> reservedWords();

}  // namespace tintgrove::ColorMapWriter
