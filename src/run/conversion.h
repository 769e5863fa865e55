// The run of the program: gradients converted one by one, each from its
// chosen path to a summary, and the notices that tell how it went.
#pragma once

#include <vector>

#include "gradient/hex_code_table.h"
#include "run/dialogs.h"
#include "run/summary.h"
#include "textfile/line_file.h"
#include "textfile/text.h"

namespace tintgrove::ConversionRun {

// hex-bin.txt, held unshared for as long as this lives.
struct TableFile {
  LineFile file;
  HexCodeTable::Load load;
  Text path;      // where it was found, or the bare name
  Text searched;  // where it was looked for, when it was found nowhere
};

// Looks for hex-bin.txt in the working folder, then in each of
// `otherFolders`; the first one found is read.
TableFile openTable(const std::vector<Text>& otherFolders);

// Converts the gradient at `chosenPath` with the loaded table: scan, names,
// include file.
Conversion convert(TextView chosenPath, const TableFile& table);

// Asks for a gradient, converts it and shows the notice. Exit code: 0 when
// the include file was written or the user cancelled, 1 otherwise or when
// the notice could not be shown.
int run(Dialogs& dialogs, const std::vector<Text>& tableFolders);

// Converts each of `files` as if it had been chosen, in order, without
// asking; the summaries in one notice or one notice each. Exit code: 1 when
// any file was not converted or a notice could not be shown, else 0.
int convertFiles(Dialogs& dialogs, const std::vector<Text>& files, bool oneNotice,
                 const std::vector<Text>& tableFolders);

}  // namespace tintgrove::ConversionRun
