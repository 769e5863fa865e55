// Entry point of the POSIX build.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <csignal>

#include <iostream>
#include <string>
#include <vector>

#include "run/command_line.h"
#include "run/conversion.h"
#include "textfile/platform_file.h"
#include "textfile/utf8.h"

namespace {

// Where hex-bin.txt is looked for after the working folder.
std::vector<tintgrove::Text> tableFolders() {
  std::vector<tintgrove::Text> folders;
  if (auto folder = tintgrove::platform::programFolder(); !folder.empty()) {
    folders.push_back(std::move(folder));
  }
#ifdef TINTGROVE_DATA_DIR
  folders.push_back(tintgrove::utf8ToText(TINTGROVE_DATA_DIR));
#endif
  return folders;
}

int start(int argc, char** argv) {
  using namespace tintgrove;
  std::vector<Text> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(utf8ToText(argv[i]));
  const Invocation invocation = parseCommandLine(arguments);
  switch (invocation.action) {
    case Invocation::Action::help:
      std::cout << textToUtf8(usageText()) << std::flush;
      return std::cout ? 0 : 1;
    case Invocation::Action::version:
      std::cout << textToUtf8(versionText()) << std::flush;
      return std::cout ? 0 : 1;
    case Invocation::Action::unknownOption:
      std::cerr << "tintgrove: unknown option " << textToUtf8(invocation.unknownOption)
                << " (tintgrove --help lists the options)\n";
      return 2;
    case Invocation::Action::convert: {
      // As the dialog would give them: full paths.
      std::vector<Text> files;
      for (const Text& file : invocation.files) {
        const Text absolute = platform::absolutePath(file);
        files.push_back(absolute.empty() ? file : absolute);
      }
      // From a terminal or a script the summaries go to standard output, one
      // each; started from the desktop, to one message box.
      auto dialogs = makePlatformDialogs(invocation.desktop ? Surface::desktop
                                                            : Surface::terminal);
      return ConversionRun::convertFiles(*dialogs, files, invocation.desktop,
                                         tableFolders());
    }
    case Invocation::Action::ask:
      break;
  }
  auto dialogs = makePlatformDialogs(Surface::automatic);
  return ConversionRun::run(*dialogs, tableFolders());
}

}  // namespace

int main(int argc, char** argv) {
  // A standard descriptor the caller closed is taken by a read-only
  // /dev/null, so that no file of the run, nor a dialog's pipe, gets its
  // number: a notice then fails to reach a closed standard output (EBADF)
  // instead of landing in a file, and standard input reads as ended.
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF) {
      // The lowest free number: `fd` itself, as the ones below are open.
      ::open("/dev/null", O_RDONLY);
    }
  }
  std::setlocale(LC_ALL, "");
  // Numbers are read and written with "." whatever the user's locale.
  std::setlocale(LC_NUMERIC, "C");
  // A closed standard output must not kill the run before files are closed.
  std::signal(SIGPIPE, SIG_IGN);
  // Past a file size limit a write must fail and be reported, not end the
  // run with a truncated include.
  std::signal(SIGXFSZ, SIG_IGN);
  return start(argc, argv);
}
