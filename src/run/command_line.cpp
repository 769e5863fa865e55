#include "run/command_line.h"

namespace tintgrove {

Invocation parseCommandLine(const std::vector<Text>& arguments) {
  Invocation invocation;
  bool options = true;
  for (const Text& argument : arguments) {
    if (options && argument == u"--") {
      options = false;
    } else if (options && argument == u"--help") {
      invocation.action = Invocation::Action::help;
      return invocation;
    } else if (options && argument == u"--version") {
      invocation.action = Invocation::Action::version;
      return invocation;
    } else if (options && argument == u"--desktop") {
      invocation.desktop = true;
    } else if (options && argument.size() > 1 && argument[0] == u'-') {
      invocation.action = Invocation::Action::unknownOption;
      invocation.unknownOption = argument;
      return invocation;
    } else {
      invocation.files.push_back(argument);
    }
  }
  if (!invocation.files.empty()) invocation.action = Invocation::Action::convert;
  return invocation;
}

Text usageText() {
  return u"Usage: tintgrove [--desktop] [FILE.json...]\n"
         u"       tintgrove --help | --version\n"
         u"\n"
         u"Converts the colour stops of gradient files (.json, one key per line, as a\n"
         u"gradient editor writes them) into POV-Ray include files that declare one\n"
         u"color_map each.\n"
         u"\n"
         u"Without a file it asks for one (a file dialog on the desktop, else a prompt\n"
         u"on the terminal). Each FILE.json is converted in turn, without asking.\n"
         u"\n"
         u"Reads   FILE.json, and hex-bin.txt, the colour code table: from the\n"
         u"        working folder, else the program's folder, else the installed\n"
         u"        data folder.\n"
         u"Writes  FILE.inc next to each FILE.json, replacing an older one only\n"
         u"        once the new one is complete.\n"
         u"\n"
         u"The summaries go to standard output; with --desktop (as the desktop\n"
         u"launcher starts it) to one message box for the whole run.\n"
         u"\n"
         u"Exit status: 0 every include written (or the dialog cancelled),\n"
         u"1 a file not converted or the summary not shown, 2 a usage error.\n";
}

Text versionText() { return u"tintgrove 0.2\n"; }

}  // namespace tintgrove
