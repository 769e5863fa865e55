// Entry point of the Windows build: a GUI program with no window of its own.
// The Windows headers first: the others build on them.
#include "textfile/win32.h"

#include <commctrl.h>
#include <objbase.h>

#include <shellapi.h>

#include <clocale>
#include <vector>

#include "run/command_line.h"
#include "run/conversion.h"
#include "textfile/platform_file.h"

namespace {

// The classes the dialogs may use, so that their visual styles are ready.
constexpr DWORD kControlClasses = ICC_INTERNET_CLASSES | ICC_USEREX_CLASSES |
                                  ICC_DATE_CLASSES | ICC_HOTKEY_CLASS |
                                  ICC_TAB_CLASSES;
static_assert(kControlClasses == 0x0B48);

// The arguments after the program's name, as Windows splits its command line.
std::vector<tintgrove::Text> arguments() {
  std::vector<tintgrove::Text> list;
  int count = 0;
  LPWSTR* split = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (split == nullptr) return list;
  for (int i = 1; i < count; ++i) list.push_back(tintgrove::fromWide(split[i]));
  ::LocalFree(split);
  return list;
}

// A GUI program has no console to write to: help and errors go to a box.
int tell(tintgrove::TextView text, bool warning, int exitCode) {
  tintgrove::Text lines(text);
  for (char16_t& c : lines) {
    if (c == u'\n') c = u'\r';
  }
  auto dialogs = tintgrove::makePlatformDialogs(tintgrove::Surface::desktop);
  dialogs->showNotice(u"Tintgrove", lines, warning);
  return exitCode;
}

int start() {
  using namespace tintgrove;
  const Invocation invocation = parseCommandLine(arguments());
  // hex-bin.txt beside the program, after the working folder.
  std::vector<Text> tableFolders;
  if (const Text folder = platform::programFolder(); !folder.empty()) {
    tableFolders.push_back(folder);
  }
  switch (invocation.action) {
    case Invocation::Action::help:
      return tell(usageText(), false, 0);
    case Invocation::Action::version:
      return tell(versionText(), false, 0);
    case Invocation::Action::unknownOption:
      return tell(u"tintgrove: unknown option " + invocation.unknownOption +
                      u" (tintgrove --help lists the options)",
                  true, 2);
    case Invocation::Action::convert: {
      // Dropped files, "Open with" and "Send to" give full paths; others are
      // taken from the working folder.
      std::vector<Text> files;
      for (const Text& file : invocation.files) {
        const Text absolute = platform::absolutePath(file);
        files.push_back(absolute.empty() ? file : absolute);
      }
      auto dialogs = makePlatformDialogs(Surface::desktop);
      return ConversionRun::convertFiles(*dialogs, files, true, tableFolders);
    }
    case Invocation::Action::ask:
      break;
  }
  auto dialogs = makePlatformDialogs(Surface::desktop);
  return ConversionRun::run(*dialogs, tableFolders);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  std::setlocale(LC_ALL, "");
  // Numbers are read and written with "." whatever the user's locale.
  std::setlocale(LC_NUMERIC, "C");
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = kControlClasses;
  ::InitCommonControlsEx(&controls);
  // The open-file dialog hosts shell objects; COM stays up until the end.
  (void)::CoInitialize(nullptr);

  ::ExitProcess(static_cast<UINT>(start()));
}
