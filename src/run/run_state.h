// The values one run keeps from start to exit.
#pragma once

#include <cstdint>

#include "gradient/hex_code_table.h"
#include "textfile/text.h"

namespace tintgrove {

struct RunState {
  Text chosenPath;   // empty when the user cancelled
  Text folderPart;   // up to and including the last "\" or "/"
  Text filePart;     // after the last "\" or "/"
  Text baseName;     // filePart without its last five characters
  Text includePath;  // folderPart + baseName + ".inc"

  HexCodeTable codeTable;

  TextList positionTexts;
  TextList colorTexts;
  std::int64_t positionCount() const { return positionTexts.size(); }
  std::int64_t colorCount() const { return colorTexts.size(); }
};

}  // namespace tintgrove
