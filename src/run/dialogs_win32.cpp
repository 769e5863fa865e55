// The two dialogs on Windows: the common open-file dialog and a message box.
// The Windows headers first: the others build on them.
#include "textfile/win32.h"

#include <commdlg.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>

#include "run/dialogs.h"

namespace tintgrove {

namespace {

// The structure size of the dialogs before the places bar: old enough that
// every version of the dialog accepts it.
// (OPENFILENAME_SIZE_VERSION_400W, the structure up to lpTemplateName.)
constexpr DWORD kOpenFileNameSize = static_cast<DWORD>(
    offsetof(OPENFILENAMEW, lpTemplateName) + sizeof(LPCWSTR));
#ifdef _WIN64
static_assert(kOpenFileNameSize == 136);
#endif

// Explorer style, existing folder, working directory left alone, no
// read-only check box.
constexpr DWORD kOpenFlags =
    OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
static_assert(kOpenFlags == 0x0008080C);

constexpr std::size_t kPathBufferSize = 260;

// The foreground window when it is one of ours, so that a dialog never
// attaches itself to another program's window.
HWND ownerWindow() {
  HWND foreground = ::GetForegroundWindow();
  if (foreground == nullptr) return nullptr;
  DWORD process = 0;
  ::GetWindowThreadProcessId(foreground, &process);
  return process == ::GetCurrentProcessId() ? foreground : nullptr;
}

class Win32Dialogs : public Dialogs {
 public:
  Text askForFile(const FileRequest& request) override {
    const std::wstring title = wide(request.title);

    // "name|pattern" becomes the list "name\0pattern\0\0".
    std::wstring filter = wide(request.filter);
    for (wchar_t& c : filter) {
      if (c == L'|') c = L'\0';
    }
    filter.push_back(L'\0');
    filter.push_back(L'\0');

    // "C:\file.json" gives the initial folder "C:" and the proposed name.
    const TextView path = request.defaultPath;
    const auto split = path.rfind(u'\\');
    std::wstring folder;
    TextView proposed = path;
    if (split != TextView::npos) {
      folder = wide(path.substr(0, split));
      proposed = path.substr(split + 1);
    }
    std::array<wchar_t, kPathBufferSize> file{};
    const std::size_t copied = std::min(proposed.size(), file.size() - 1);
    for (std::size_t i = 0; i < copied; ++i) file[i] = proposed[i];

    OPENFILENAMEW dialog{};
    dialog.lStructSize = kOpenFileNameSize;
    dialog.hwndOwner = ownerWindow();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = split == TextView::npos ? nullptr : folder.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = kOpenFlags;
    if (!::GetOpenFileNameW(&dialog)) return {};
    file.back() = L'\0';
    return fromWide(file.data());
  }

  bool showNotice(TextView title, TextView text, bool warning) override {
    // Zero only when the box could not be shown.
    return ::MessageBoxW(ownerWindow(), wide(text).c_str(), wide(title).c_str(),
                         warning ? MB_OK | MB_ICONWARNING : MB_OK) != 0;
  }
};

}  // namespace

// Windows has only its desktop dialogs.
std::unique_ptr<Dialogs> makePlatformDialogs(Surface) {
  return std::make_unique<Win32Dialogs>();
}

}  // namespace tintgrove
