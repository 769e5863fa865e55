// Writes the POV-Ray include file: one color_map with an entry per stop.
#pragma once

#include <cstdint>

#include "gradient/gradient_scanner.h"
#include "gradient/hex_code_table.h"
#include "textfile/file_problem.h"
#include "textfile/text.h"

namespace tintgrove::ColorMapWriter {

struct Outcome {
  bool written = false;                     // the whole file is in place
  FileProblem problem = FileProblem::none;  // why not, when it is not
  std::int64_t codesNotFound = 0;  // channel lookups that found no table line
};

// Writes the include file to `includePath`, declaring the map under the
// identifier made of `baseName`. An old file there is replaced only once the
// new one is complete.
Outcome write(TextView includePath, TextView baseName, const Stops& stops,
              const HexCodeTable& table);

}  // namespace tintgrove::ColorMapWriter
