// The run of the program: one conversion of a gradient chosen in a dialog,
// and the notice that tells how it went.
#pragma once

#include "gradient/hex_code_table.h"
#include "run/dialogs.h"
#include "run/summary.h"
#include "textfile/text.h"

namespace tintgrove::ConversionRun {

// Converts the gradient at `chosenPath` with the loaded table: scan, names,
// include file.
Conversion convert(TextView chosenPath, const HexCodeTable::Load& table);

// Asks for a gradient, converts it, shows the notice; the exit code: 0 when
// the include file was written or the user cancelled, 1 otherwise or when
// the notice could not be shown.
int run(Dialogs& dialogs);

}  // namespace tintgrove::ConversionRun
