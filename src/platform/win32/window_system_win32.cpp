#include "platform/win32/window_system_win32.h"

#include <shellscalingapi.h>

#include <memory>

#include "platform/win32/wide.h"

namespace platform::win32 {
namespace {

constexpr wchar_t kMainClass[] = L"TenebroliteMain";
constexpr wchar_t kDialogClass[] = L"TenebroliteDialog";
constexpr int kAppIconId = 1;

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

HWND toHwnd(WindowHandle window) {
  return reinterpret_cast<HWND>(window);
}
WindowHandle fromHwnd(HWND hwnd) {
  return reinterpret_cast<WindowHandle>(hwnd);
}

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

// A dialog window's own data: whom to tell, and the font its controls use.
struct Win32WindowSystem::Dialog {
  Win32WindowSystem* system = nullptr;
  DialogEvents* events = nullptr;
  Owned<HFONT, &DeleteObject> font;
  HWND focus = nullptr;  // where the focus goes back to when it is activated again
};

unsigned Win32WindowSystem::dpiAt(int x, int y) {
  // shcore.dll serves only this, for the dialog.
  const auto getDpiForMonitor = shcore_.function<decltype(&GetDpiForMonitor)>("GetDpiForMonitor");
  HMONITOR monitor = MonitorFromPoint(POINT{x, y}, MONITOR_DEFAULTTONEAREST);
  UINT dpiX = 0;
  UINT dpiY = 0;
  if (getDpiForMonitor == nullptr ||
      FAILED(getDpiForMonitor(monitor, MDT_EFFECTIVE_DPI, &dpiX, &dpiY)) || dpiX == 0) {
    return USER_DEFAULT_SCREEN_DPI;
  }
  return dpiX;
}

WindowHandle Win32WindowSystem::loadDialog(const DialogLayout& design, DialogEvents& events) {
  auto dialog = std::make_unique<Dialog>();
  dialog->system = this;
  dialog->events = &events;
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                  design.dpi)) {
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  }
  dialog->font.reset(CreateFontIndirectW(&metrics.lfMessageFont));

  // A fixed tool window: small caption, close box only, no taskbar button.
  constexpr DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  constexpr DWORD exStyle = WS_EX_TOOLWINDOW;
  RECT frame{design.client.left, design.client.top, design.client.left + design.client.width,
             design.client.top + design.client.height};
  AdjustWindowRectExForDpi(&frame, style, FALSE, exStyle, design.dpi);
  Dialog* data = dialog.release();  // owned by the window from here on
  HWND hwnd = CreateWindowExW(exStyle, kDialogClass, wide(design.caption), style, frame.left,
                              frame.top, frame.right - frame.left, frame.bottom - frame.top,
                              nullptr, nullptr, instance_, data);
  if (hwnd == nullptr) {
    delete data;
    return 0;
  }

  HWND firstTextBox = nullptr;
  bool firstTabStop = true;
  for (const ControlLayout& control : design.controls) {
    const wchar_t* className = L"STATIC";
    DWORD controlStyle = WS_CHILD | WS_VISIBLE;
    DWORD controlExStyle = 0;
    switch (control.kind) {
      case ControlKind::Label:
        controlStyle |= SS_LEFT;
        break;
      case ControlKind::TextBox:
        className = L"EDIT";
        controlStyle |= WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT;
        controlExStyle = WS_EX_CLIENTEDGE;
        break;
      case ControlKind::PushButton:
        className = L"BUTTON";
        controlStyle |= WS_TABSTOP | BS_PUSHBUTTON;
        break;
    }
    if ((controlStyle & WS_TABSTOP) != 0 && firstTabStop) {
      controlStyle |= WS_GROUP;
      firstTabStop = false;
    }
    HWND child = CreateWindowExW(
        controlExStyle, className, wide(control.text), controlStyle, control.rect.left,
        control.rect.top, control.rect.width, control.rect.height, hwnd,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance_, nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(data->font.get()), FALSE);
    if (control.kind == ControlKind::TextBox) {
      SendMessageW(child, EM_SETLIMITTEXT, 0, 0);  // as long as the user likes
      if (firstTextBox == nullptr) firstTextBox = child;
    }
  }
  dialogs_.insert(hwnd);
  data->focus = firstTextBox;
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
  if (firstTextBox != nullptr) SetFocus(firstTextBox);
  return fromHwnd(hwnd);
}

void Win32WindowSystem::bringToFront(WindowHandle window) {
  HWND hwnd = toHwnd(window);
  if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
  SetForegroundWindow(hwnd);
}

std::u16string Win32WindowSystem::controlText(WindowHandle dialog, int control) {
  HWND child = GetDlgItem(toHwnd(dialog), control);
  const int length = GetWindowTextLengthW(child);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(child, text.data(), length + 1);
  return fromWide(text.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

void Win32WindowSystem::setControlText(WindowHandle dialog, int control,
                                       const std::u16string& text) {
  SetWindowTextW(GetDlgItem(toHwnd(dialog), control), wide(text));
}

LRESULT CALLBACK Win32WindowSystem::dialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
  auto* data = windowData<Dialog>(hwnd, message, lParam);
  if (data == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCCREATE) data->system->windows_.insert(hwnd);

  switch (message) {
    case WM_COMMAND:
      // Enter and Escape arrive as IDOK and IDCANCEL without a control: the
      // dialog has neither a default nor a cancel button, so they do nothing.
      if (lParam != 0) {
        const int control = LOWORD(wParam);
        if (HIWORD(wParam) == EN_CHANGE) data->events->onTextChanged(control);
        if (HIWORD(wParam) == BN_CLICKED) data->events->onClicked(control);
      }
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd, focus)) data->focus = focus;
      } else if (data->focus != nullptr) {
        SetFocus(data->focus);
        return 0;
      }
      break;
    case WM_NCDESTROY: {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      std::unique_ptr<Dialog> owned(data);
      Win32WindowSystem* system = owned->system;
      system->dialogs_.erase(hwnd);
      owned->events->onUnloaded();
      system->forget(hwnd);
      break;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
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
