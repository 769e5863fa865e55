// The seam to the two modal dialogs of the desktop: one implementation per
// platform (dialogs_posix.cpp, dialogs_win32.cpp), and fakes in the tests.
#pragma once

#include <memory>

#include "textfile/text.h"

namespace tintgrove {

struct FileRequest {
  Text title;        // "Open .json file - v.02"
  Text filter;       // display name and pattern separated by "|"
  Text defaultPath;  // folder and proposed name, split at the last "\"
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // The chosen full path, or an empty text on cancel or failure.
  virtual Text askForFile(const FileRequest& request) = 0;
  // Lines of `text` are separated by a lone CR; a `warning` looks like one
  // where the desktop can show it. False when the notice could not reach the
  // user (nor its fallback, where there is one).
  virtual bool showNotice(TextView title, TextView text, bool warning) = 0;
};

// Where the dialogs appear: as the platform sees fit (a desktop dialog where
// there is a desktop), on the terminal, or on the desktop.
enum class Surface { automatic, terminal, desktop };

// The dialogs of the platform the program was built for.
std::unique_ptr<Dialogs> makePlatformDialogs(Surface surface);

}  // namespace tintgrove
