// What one conversion did, and the notice and exit code that tell it.
#pragma once

#include <cstdint>

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

}  // namespace tintgrove
