// The hold-time dialog's window: its layout at the monitor's dpi, its
// controls and their keyboard, and what it reports to the program.
#include <shellscalingapi.h>

#include <memory>

#include "platform/win32/wide.h"
#include "platform/win32/window_data.h"
#include "platform/win32/window_system_win32.h"

namespace platform::win32 {

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

}  // namespace platform::win32
