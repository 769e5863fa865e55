// Entry point of the POSIX build.
#include <clocale>
#include <csignal>

#include "run/conversion_run.h"

int main() {
  std::setlocale(LC_ALL, "");
  // Numbers are read and written with "." whatever the user's locale.
  std::setlocale(LC_NUMERIC, "C");
  // A closed standard output must not kill the run before files are closed.
  std::signal(SIGPIPE, SIG_IGN);
  // Past a file size limit a write must fail and be reported, not end the
  // run with a truncated include.
  std::signal(SIGXFSZ, SIG_IGN);
  auto dialogs = tintgrove::makePlatformDialogs();
  tintgrove::RunState state;
  return tintgrove::ConversionRun::run(*dialogs, state);
}
