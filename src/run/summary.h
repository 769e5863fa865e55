// What one conversion did, and the notice and exit code that tell it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gradient/color_map_writer.h"
#include "run/output_names.h"
#include "textfile/file_problem.h"
#include "textfile/text.h"

namespace tintgrove {

// The outcome of every stage of one conversion.
struct Conversion {
  Text chosenPath;
  OutputNames names;
  Text declaredName;
  FileProblem tableProblem = FileProblem::none;
  Text tableSearched;  // where hex-bin.txt was looked for, when not found
  FileProblem gradientProblem = FileProblem::none;
  std::int64_t colorCount = 0;
  bool writeAttempted = false;
  ColorMapWriter::Outcome written;
};

struct Summary {
  Text text;  // lines ended by a lone CR
  int exitCode = 0;
};

// A pure function of the outcome: no file, no dialog.
Summary summarize(const Conversion& conversion);

// The summaries of several conversions in one notice, under one banner, an
// empty line between them; past `shown` of them, a count of the rest. The
// exit code is 1 when any of them is.
Summary combined(const std::vector<Summary>& summaries, std::size_t shown);

}  // namespace tintgrove
