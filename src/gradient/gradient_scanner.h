// Pulls the colour stops out of a gradient file by fixed columns.
#pragma once

#include "run/run_state.h"
#include "textfile/file_problem.h"
#include "textfile/text.h"

namespace tintgrove::GradientScanner {

// Applies both column tests to one line.
void scanLine(TextView line, RunState& state);

// Reads every line of the file at `path`: FileProblem::none, or why it could
// not be opened. Running out of memory throws std::bad_alloc after closing
// the file.
FileProblem scan(TextView path, RunState& state);

}  // namespace tintgrove::GradientScanner
