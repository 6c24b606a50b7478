#include "platform/win32/window_system_win32.h"

#include "platform/win32/wide.h"
#include "platform/win32/window_data.h"

namespace platform::win32 {
namespace {

constexpr wchar_t kMainClass[] = L"TenebroliteMain";
constexpr int kAppIconId = 1;

}  // namespace

Win32WindowSystem::Win32WindowSystem(HINSTANCE instance) : instance_(instance) {
  // The shell broadcasts this when the notification area is created anew.
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &Win32WindowSystem::mainWindowProc;
  wc.hInstance = instance_;
  // No class icon: the window is never shown, so nothing would draw it, and
  // under Wine it costs every start the X icon data of a window (about
  // 145 kB). The notification icon is loaded on its own, at its size.
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.lpszClassName = kMainClass;
  mainClass_ = RegisterClassExW(&wc);

  WNDCLASSEXW dialog{};
  dialog.cbSize = sizeof dialog;
  dialog.lpfnWndProc = &Win32WindowSystem::dialogProc;
  dialog.hInstance = instance_;
  dialog.hCursor = wc.hCursor;
  dialog.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  dialog.lpszClassName = kDialogClass;
  dialogClass_ = RegisterClassExW(&dialog);
}

Win32WindowSystem::~Win32WindowSystem() {
  for (HWND hwnd : std::set<HWND>(windows_)) DestroyWindow(hwnd);
  if (mainClass_ != 0) UnregisterClassW(kMainClass, instance_);
  if (dialogClass_ != 0) UnregisterClassW(kDialogClass, instance_);
}

WindowHandle Win32WindowSystem::loadMainWindow(const std::u16string& caption,
                                               MainWindowEvents& events) {
  mainEvents_ = &events;
  // A top-level window that is never shown; a message-only window would miss
  // the "TaskbarCreated" broadcast.
  HWND hwnd = CreateWindowExW(0, kMainClass, wide(caption), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 211, 84, nullptr, nullptr, instance_, this);
  // Run as administrator, the program would not hear "TaskbarCreated" from
  // Explorer, which runs at a lower integrity level, and its icon would not
  // come back after Explorer restarts.
  if (hwnd != nullptr && taskbarCreated_ != 0) {
    ChangeWindowMessageFilterEx(hwnd, taskbarCreated_, MSGFLT_ALLOW, nullptr);
  }
  return fromHwnd(hwnd);
}

void Win32WindowSystem::hideWindow(WindowHandle window) {
  ShowWindow(toHwnd(window), SW_HIDE);
}

IconHandle Win32WindowSystem::smallIcon(WindowHandle window) {
  const UINT dpi = GetDpiForWindow(toHwnd(window));
  const int size = GetSystemMetricsForDpi(SM_CXSMICON, dpi != 0 ? dpi : USER_DEFAULT_SCREEN_DPI);
  // The shell keeps its own copy of a notification icon, so the one shown
  // before may go.
  smallIcon_.reset(static_cast<HICON>(
      LoadImageW(instance_, MAKEINTRESOURCEW(kAppIconId), IMAGE_ICON, size, size, 0)));
  return reinterpret_cast<IconHandle>(smallIcon_.get());
}

void Win32WindowSystem::popupMenu(WindowHandle owner, const std::vector<MenuEntry>& entries) {
  OwnedMenu menu(CreatePopupMenu());
  if (!menu) return;
  for (const MenuEntry& entry : entries) {
    if (entry.separator) {
      AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuW(menu.get(), MF_STRING, static_cast<UINT_PTR>(entry.command), wide(entry.caption));
    }
  }
  POINT pointer{};
  GetCursorPos(&pointer);
  HWND hwnd = toHwnd(owner);
  // A menu tracked for a window that is not in the foreground stays open when
  // the user clicks elsewhere; the WM_NULL afterwards makes the next click on
  // the icon open it again at once.
  SetForegroundWindow(hwnd);
  TrackPopupMenu(menu.get(), 0, pointer.x, pointer.y, 0, hwnd, nullptr);
  PostMessageW(hwnd, WM_NULL, 0, 0);
}

std::vector<WindowHandle> Win32WindowSystem::loadedWindows() {
  std::vector<WindowHandle> loaded;
  for (HWND hwnd : windows_) loaded.push_back(fromHwnd(hwnd));
  return loaded;
}

void Win32WindowSystem::unloadWindow(WindowHandle window) {
  DestroyWindow(toHwnd(window));
}

std::intptr_t Win32WindowSystem::sendMessage(WindowHandle window, std::uint32_t message,
                                             std::uintptr_t wParam, std::intptr_t lParam) {
  return SendMessageW(toHwnd(window), message, wParam, lParam);
}

void Win32WindowSystem::dispatch(MSG& message) {
  // A copy: the message may close a dialog (Alt+A applies and unloads it).
  const std::vector<HWND> dialogs(dialogs_.begin(), dialogs_.end());
  for (HWND dialog : dialogs) {
    if (IsDialogMessageW(dialog, &message)) return;
  }
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

void Win32WindowSystem::dispatchPendingMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Leave the quit for the event loop.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    dispatch(message);
  }
}

int Win32WindowSystem::messageBox(WindowHandle owner, const std::u16string& text,
                                  const std::u16string& title, std::uint32_t type) {
  return MessageBoxW(toHwnd(owner), wide(text), wide(title), type);
}

void Win32WindowSystem::runEventLoop() {
  MSG message;
  while (!windows_.empty() && GetMessageW(&message, nullptr, 0, 0) > 0) dispatch(message);
}

void Win32WindowSystem::forget(HWND hwnd) {
  windows_.erase(hwnd);
  if (windows_.empty()) PostQuitMessage(0);
}

LRESULT CALLBACK Win32WindowSystem::mainWindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                                   LPARAM lParam) {
  auto* self = windowData<Win32WindowSystem>(hwnd, message, lParam);
  if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCCREATE) self->windows_.insert(hwnd);
  return self->handleMain(hwnd, message, wParam, lParam);
}

LRESULT Win32WindowSystem::handleMain(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // The notification icon's callback; its low word is the mouse message.
  if (message == WM_LBUTTONDOWN && wParam == 1) {
    if (mainEvents_ != nullptr) mainEvents_->onTrayNotification(LOWORD(lParam));
    return 0;
  }
  if (message == taskbarCreated_ && taskbarCreated_ != 0) {
    if (mainEvents_ != nullptr) mainEvents_->onTaskbarCreated();
    return 0;
  }
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == 0 && lParam == 0 && mainEvents_ != nullptr) {
        mainEvents_->onMenuCommand(LOWORD(wParam));
      }
      return 0;
    case WM_DPICHANGED:
      if (mainEvents_ != nullptr) mainEvents_->onDpiChanged();
      return 0;
    case WM_NCDESTROY:
      mainEvents_ = nullptr;
      forget(hwnd);
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace platform::win32
