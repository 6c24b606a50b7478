// The yardsticks for the measurements: a Win32 program that creates one hidden
// top-level window and waits in GetMessage, and does nothing else. Built with
// ADD_ICON, it also adds a notification icon right after creating the window:
// the least a notification-area program has to do before it is ready.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <iterator>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = instance;
  wc.lpszClassName = L"EmptyProgram";
  RegisterClassW(&wc);
  HWND window =
      CreateWindowExW(0, wc.lpszClassName, L"EmptyProgram", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                      CW_USEDEFAULT, 200, 80, nullptr, nullptr, instance, nullptr);
#ifdef ADD_ICON
  NOTIFYICONDATAW icon{};
  icon.cbSize = sizeof icon;
  icon.hWnd = window;
  icon.uID = 1;
  icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  icon.uCallbackMessage = WM_APP;
  icon.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
  lstrcpynW(icon.szTip, L"EmptyProgram", static_cast<int>(std::size(icon.szTip)));
  Shell_NotifyIconW(NIM_ADD, &icon);
#else
  (void)window;
#endif
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}
