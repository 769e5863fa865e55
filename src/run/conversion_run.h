// The single run of the program: from the file request to the summary.
#pragma once

#include "run/dialogs.h"
#include "run/run_state.h"

namespace tintgrove::ConversionRun {

// Derives folderPart, filePart, baseName and includePath from chosenPath,
// which folders split at any of `separators`.
void deriveNames(RunState& state, TextView separators);

// Runs once and returns the exit code: 0 when an include file was written or
// the user cancelled, 1 otherwise. Closes every file before it returns.
int run(Dialogs& dialogs, RunState& state);

}  // namespace tintgrove::ConversionRun
