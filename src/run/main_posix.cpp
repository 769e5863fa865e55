// Entry point of the POSIX build.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <csignal>

#include "run/conversion.h"

int main() {
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
  auto dialogs = tintgrove::makePlatformDialogs();
  return tintgrove::ConversionRun::run(*dialogs);
}
