// Why a file could not be opened, read, written or closed, as far as the
// platform tells: every stage reports its failures as one of these, and the
// summary turns them into the reason after a "cannot" line.
#pragma once

#include "textfile/text.h"

namespace tintgrove {

enum class FileProblem {
  none,
  notFound,
  inUse,        // locked or opened unshared by another program
  notRegular,   // a folder, a pipe, a device
  permissionDenied,
  readOnly,     // a read-only file system
  diskFull,
  tooLarge,     // past a file size limit
  notEnoughMemory,
  isTheGradient,  // the include would take the place of its own sources
  isTheTable,
  other,        // the platform gave no reason worth showing
};

// The short reason shown after ": ", or the empty text when there is none.
TextView problemText(FileProblem problem);

}  // namespace tintgrove
