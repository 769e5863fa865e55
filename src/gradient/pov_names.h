// Names as POV-Ray takes them: the map's declared name must be an identifier
// that is not one of its reserved words, or the whole include fails to parse.
#pragma once

#include "textfile/text.h"

namespace tintgrove {

// `baseName` made a valid POV-Ray identifier: every character other than a
// letter, digit or "_" becomes "_", and a name that starts with a digit, is
// empty or is a reserved word gets a "_" in front.
Text declaredName(TextView baseName);

bool isReservedWord(TextView word);

}  // namespace tintgrove
