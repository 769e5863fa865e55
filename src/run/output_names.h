// The names of the output, derived from the chosen path alone.
#pragma once

#include "textfile/text.h"

namespace tintgrove {

struct OutputNames {
  Text folderPart;   // up to and including the last separator
  Text filePart;     // after it
  Text baseName;     // filePart without its last five characters (".json")
  Text includePath;  // folderPart + baseName + ".inc"
};

// Folders in `chosenPath` end at any of `separators`.
OutputNames outputNames(TextView chosenPath, TextView separators);

}  // namespace tintgrove
