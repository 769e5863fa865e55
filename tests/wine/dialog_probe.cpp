// A test helper run under Wine beside tintgrove.exe: it finds the program's
// dialogs by their titles and reads or fills them.
//
//   dialog_probe notice SECONDS       prints the text of the "Info:" box
//   dialog_probe file-box SECONDS     prints the file name box and the type
//                                     list of the open-file dialog
//   dialog_probe choose SECONDS PATH  puts PATH into the file name box and
//                                     clicks Open
//
// Texts are printed as UTF-8, exactly as the controls hold them. Exit code 0
// on success, 2 when the window did not appear in time.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kOpenTitle[] = L"Open .json file - v.02";
constexpr wchar_t kNoticeTitle[] = L"Info:";
constexpr int kNoticeText = 0xFFFF;  // the static control of a message box
constexpr int kFileNameBox = 1148;   // cmb13 of the explorer-style dialog
constexpr int kFileTypeList = 1136;  // cmb1

// Polls for a control of a top-level dialog until the time is up.
HWND waitForControl(const wchar_t* title, int control, DWORD milliseconds,
                    HWND* dialog) {
  const ULONGLONG end = ::GetTickCount64() + milliseconds;
  for (;;) {
    HWND found = ::FindWindowW(kDialogClass, title);
    HWND item = found != nullptr ? ::GetDlgItem(found, control) : nullptr;
    if (item != nullptr && ::IsWindowVisible(found)) {
      if (dialog != nullptr) *dialog = found;
      return item;
    }
    if (::GetTickCount64() >= end) return nullptr;
    ::Sleep(50);
  }
}

std::wstring windowText(HWND window) {
  std::wstring text(4096, L'\0');
  // WM_GETTEXT reaches across processes, and its length is not cut short.
  const LRESULT length =
      ::SendMessageW(window, WM_GETTEXT, text.size(),
                     reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
  return text;
}

void print(const std::wstring& text) {
  std::string bytes;
  if (!text.empty()) {
    const int size = ::WideCharToMultiByte(
        CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
        nullptr, nullptr);
    bytes.resize(static_cast<std::size_t>(size));
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(),
                          static_cast<int>(text.size()), bytes.data(), size,
                          nullptr, nullptr);
  }
  DWORD written = 0;
  ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(),
              static_cast<DWORD>(bytes.size()), &written, nullptr);
}

int usage() {
  ::fputws(L"usage: dialog_probe notice|file-box SECONDS | choose SECONDS PATH\n",
           stderr);
  return 64;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return usage();
  const std::wstring command = argv[1];
  const DWORD milliseconds =
      static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10) * 1000);
  HWND dialog = nullptr;

  if (command == L"notice" && argc == 3) {
    HWND text = waitForControl(kNoticeTitle, kNoticeText, milliseconds, nullptr);
    if (text == nullptr) return 2;
    print(windowText(text));
    return 0;
  }
  if (command == L"file-box" && argc == 3) {
    HWND name = waitForControl(kOpenTitle, kFileNameBox, milliseconds, &dialog);
    if (name == nullptr) return 2;
    print(windowText(name) + L"\n" +
          windowText(::GetDlgItem(dialog, kFileTypeList)) + L"\n");
    return 0;
  }
  if (command == L"choose" && argc == 4) {
    HWND name = waitForControl(kOpenTitle, kFileNameBox, milliseconds, &dialog);
    if (name == nullptr) return 2;
    ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]));
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
    return 0;
  }
  return usage();
}
