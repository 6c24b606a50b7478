#include "platform/win32/hold_guard_win32.h"

#include <array>

namespace platform::win32 {
namespace {

constexpr UINT kWakeMessage = WM_APP + 1;
// The display's power state: 0 off, 1 on, 2 dimmed.
constexpr DWORD kDisplayOff = 0;

// GUID_CONSOLE_DISPLAY_STATE, spelt out: taking it from the SDK's headers
// would define it in every file that includes them.
constexpr GUID kConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};

Milliseconds now() {
  return static_cast<Milliseconds>(GetTickCount64());
}

// The name of a desktop; empty when it cannot be read.
std::array<wchar_t, 256> desktopName(HDESK desktop) {
  std::array<wchar_t, 256> name{};
  DWORD needed = 0;
  if (!GetUserObjectInformationW(desktop, UOI_NAME, name.data(),
                                 static_cast<DWORD>(name.size() * sizeof(wchar_t)), &needed)) {
    name[0] = L'\0';
  }
  return name;
}

}  // namespace

Win32HoldGuard::~Win32HoldGuard() {
  stop();
}

void Win32HoldGuard::start() {
  thread_.start(&threadMain, this);
}

void Win32HoldGuard::stop() {
  thread_.stop();
}

void Win32HoldGuard::noteInput() {
  HWND window = window_.load();
  if (window != nullptr && !wakePosted_.exchange(true)) {
    if (!PostMessageW(window, kWakeMessage, 0, 0)) wakePosted_ = false;
  }
}

DWORD WINAPI Win32HoldGuard::threadMain(void* self) {
  static_cast<Win32HoldGuard*>(self)->run();
  return 0;
}

void Win32HoldGuard::run() {
  HINSTANCE module = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &windowProc;
  wc.hInstance = module;
  wc.lpszClassName = kWindowClass;
  RegisterClassExW(&wc);  // fails harmlessly when an earlier hold registered it
  // A top-level window that is never shown: the power-down goes to a window
  // of the program's own, and the UI thread's Form1 sleeps through the hold.
  HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                nullptr, module, this);
  // The power manager sends the display's state at once, then at every change.
  HPOWERNOTIFY displayState = window != nullptr
                                  ? RegisterPowerSettingNotification(window, &kConsoleDisplayState,
                                                                     DEVICE_NOTIFY_WINDOW_HANDLE)
                                  : nullptr;
  rule_.begin();
  wakePosted_ = false;
  window_ = window;
  thread_.ready();
  MSG message;

  const std::function<bool()> ownDesktop = [this] { return inputDesktopIsOurs(); };
  Milliseconds next = -1;
  for (;;) {
    const Milliseconds wait = waitUntil(next, now());
    const DWORD timeout = wait < 0 ? INFINITE : static_cast<DWORD>(wait);
    MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    bool quit = false;
    while (!quit && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quit = true;
      } else {
        DispatchMessageW(&message);
      }
    }
    if (quit) break;
    if (window != nullptr && rule_.due(now(), ownDesktop, next)) {
      // The same request as the switch-off's, answered by the system's
      // default handling of the guard's window.
      SendMessageW(window, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
    }
  }

  rule_.end();
  window_ = nullptr;
  if (displayState != nullptr) UnregisterPowerSettingNotification(displayState);
  if (window != nullptr) DestroyWindow(window);
}

LRESULT CALLBACK Win32HoldGuard::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32HoldGuard*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == kWakeMessage) {
    self->wakePosted_ = false;
    self->rule_.noteWake();
    return 0;
  }
  if (message == WM_POWERBROADCAST && wParam == PBT_POWERSETTINGCHANGE) {
    const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
    if (setting != nullptr && IsEqualGUID(setting->PowerSetting, kConsoleDisplayState) &&
        setting->DataLength >= sizeof(DWORD)) {
      DWORD state = 0;
      CopyMemory(&state, setting->Data, sizeof state);
      if (state != kDisplayOff) self->rule_.noteWake();  // on, or dimmed
    }
    return TRUE;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool Win32HoldGuard::inputDesktopIsOurs() const {
  // Ctrl+Alt+Del and the lock screen take the input to another desktop; the
  // user asked for that, and a darkened screen there would only be in the way.
  HDESK input = OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS);
  if (input == nullptr) return false;
  const auto inputName = desktopName(input);
  CloseDesktop(input);
  const auto ownName = desktopName(GetThreadDesktop(GetCurrentThreadId()));
  return inputName[0] != L'\0' && lstrcmpiW(inputName.data(), ownName.data()) == 0;
}

}  // namespace platform::win32
