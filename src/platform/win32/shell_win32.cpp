#include "platform/win32/shell_win32.h"

#include <objbase.h>

#include <algorithm>

#include "platform/win32/wide.h"

namespace platform::win32 {

NOTIFYICONDATAW toNotifyIconData(const TrayIconData& data) {
  NOTIFYICONDATAW record{};
  record.cbSize = sizeof record;
  record.hWnd = reinterpret_cast<HWND>(data.hWnd);
  record.uID = data.uID;
  record.uFlags = data.uFlags;
  record.uCallbackMessage = data.uCallbackMessage;
  record.hIcon = reinterpret_cast<HICON>(data.hIcon);
  // Cut to the field, always terminated.
  const std::size_t length = std::min(data.szTip.size(), std::size(record.szTip) - 1);
  std::copy_n(data.szTip.begin(), length, record.szTip);
  return record;
}

bool Win32Shell::notifyIcon(std::uint32_t message, const TrayIconData& data) {
  NOTIFYICONDATAW record = toNotifyIconData(data);
  return Shell_NotifyIconW(message, &record) != FALSE;
}

Win32Shell::~Win32Shell() {
  if (!comInitialised_) return;
  if (const auto uninitialise = ole32_.function<decltype(&CoUninitialize)>("CoUninitialize")) {
    uninitialise();
  }
}

void Win32Shell::execute(WindowHandle owner, const std::u16string& verb, const std::u16string& file,
                         int showCommand) {
  // Some handlers of .html files and web addresses are COM objects and fail
  // on a thread without COM. Done at the first use, not at start-up: most
  // runs never open anything, and ole32.dll loads only then. The shell is
  // used from the UI thread only.
  if (!comInitialised_) {
    const auto initialise = ole32_.function<decltype(&CoInitializeEx)>("CoInitializeEx");
    comInitialised_ =
        initialise != nullptr &&
        SUCCEEDED(initialise(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
  }
  ShellExecuteW(reinterpret_cast<HWND>(owner), wide(verb), wide(file), nullptr, nullptr,
                showCommand);
}

}  // namespace platform::win32
