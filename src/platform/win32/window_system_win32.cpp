#include "platform/win32/window_system_win32.h"

#include "platform/win32/wide.h"

namespace platform::win32 {
namespace {

constexpr wchar_t kMainClass[] = L"TenebroliteMain";
constexpr int kAppIconId = 1;

HWND toHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
WindowHandle fromHwnd(HWND hwnd) { return reinterpret_cast<WindowHandle>(hwnd); }

}  // namespace

Win32WindowSystem::Win32WindowSystem(HINSTANCE instance) : instance_(instance) {
  // The shell broadcasts this when the notification area is created anew.
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &Win32WindowSystem::mainWindowProc;
  wc.hInstance = instance_;
  wc.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(kAppIconId));
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.lpszClassName = kMainClass;
  mainClass_ = RegisterClassExW(&wc);
}

Win32WindowSystem::~Win32WindowSystem() {
  for (HWND hwnd : std::set<HWND>(windows_)) DestroyWindow(hwnd);
  if (mainClass_ != 0) UnregisterClassW(kMainClass, instance_);
}

WindowHandle Win32WindowSystem::loadMainWindow(const std::u16string& caption,
                                               MainWindowEvents& events) {
  mainEvents_ = &events;
  // A top-level window that is never shown; a message-only window would miss
  // the "TaskbarCreated" broadcast.
  HWND hwnd = CreateWindowExW(0, kMainClass, wide(caption), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 211, 84, nullptr, nullptr, instance_, this);
  return fromHwnd(hwnd);
}

void Win32WindowSystem::hideWindow(WindowHandle window) { ShowWindow(toHwnd(window), SW_HIDE); }

IconHandle Win32WindowSystem::smallIcon(WindowHandle window) {
  const UINT dpi = GetDpiForWindow(toHwnd(window));
  const int size = GetSystemMetricsForDpi(SM_CXSMICON, dpi != 0 ? dpi : USER_DEFAULT_SCREEN_DPI);
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

void Win32WindowSystem::unloadWindow(WindowHandle window) { DestroyWindow(toHwnd(window)); }

std::intptr_t Win32WindowSystem::sendMessage(WindowHandle window, std::uint32_t message,
                                             std::uintptr_t wParam, std::intptr_t lParam) {
  return SendMessageW(toHwnd(window), message, wParam, lParam);
}

void Win32WindowSystem::dispatch(MSG& message) {
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
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* self = static_cast<Win32WindowSystem*>(create->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->windows_.insert(hwnd);
  }
  auto* self = reinterpret_cast<Win32WindowSystem*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
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
