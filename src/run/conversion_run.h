// The single run of the program: from the file request to the summary.
#pragma once

#include "run/dialogs.h"
#include "run/run_state.h"

namespace tintgrove::ConversionRun {

// Derives folderPart, filePart, baseName and includePath from chosenPath.
void deriveNames(RunState& state);

// Runs once and returns the exit code: 0, or 1 when the summary reports that
// something could not be done or the notice could not be shown. Closes every
// file before it returns.
int run(Dialogs& dialogs, RunState& state);

}  // namespace tintgrove::ConversionRun
