// Entry point of the Windows build: a GUI program with no window of its own.
// The Windows headers first: the others build on them.
#include "textfile/win32.h"

#include <commctrl.h>
#include <objbase.h>

#include <clocale>

#include "run/conversion.h"

namespace {

// The classes the dialogs may use, so that their visual styles are ready.
constexpr DWORD kControlClasses = ICC_INTERNET_CLASSES | ICC_USEREX_CLASSES |
                                  ICC_DATE_CLASSES | ICC_HOTKEY_CLASS |
                                  ICC_TAB_CLASSES;
static_assert(kControlClasses == 0x0B48);

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

  int exitCode = 0;
  {
    auto dialogs = tintgrove::makePlatformDialogs();
    exitCode = tintgrove::ConversionRun::run(*dialogs);
  }
  ::ExitProcess(static_cast<UINT>(exitCode));
}
