// What the program was asked to do by its arguments.
#pragma once

#include <vector>

#include "textfile/text.h"

namespace tintgrove {

struct Invocation {
  enum class Action { ask, convert, help, version, unknownOption };
  Action action = Action::ask;
  // Started from the desktop (its launcher passes --desktop): the summaries
  // go to a message box, even for files given as arguments.
  bool desktop = false;
  std::vector<Text> files;
  Text unknownOption;
};

// `arguments` without the program's own name. "--" ends the options, so
// that a file named "-x.json" can be given.
Invocation parseCommandLine(const std::vector<Text>& arguments);

// The text of --help and of --version.
Text usageText();
Text versionText();

}  // namespace tintgrove
