#pragma once

#include <windows.h>

#include "platform/window.h"

// What the program's window procedures share: the window class of its
// dialogs, the object a window was made for, and the handles above the seam.
namespace platform::win32 {

inline constexpr wchar_t kDialogClass[] = L"TenebroliteDialog";

// The object a window was created for: handed over on WM_NCCREATE, kept in
// the window's user data.
template <typename T>
T* windowData(HWND hwnd, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

inline HWND toHwnd(WindowHandle window) {
  return reinterpret_cast<HWND>(window);
}
inline WindowHandle fromHwnd(HWND hwnd) {
  return reinterpret_cast<WindowHandle>(hwnd);
}

}  // namespace platform::win32
