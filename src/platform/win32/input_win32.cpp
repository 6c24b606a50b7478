#include "platform/win32/input_win32.h"

namespace platform::win32 {
namespace {

// The guard that the hooks of this thread tell of input. Low-level hooks run
// on the thread that set them and take no context of their own.
thread_local Win32HoldGuard* hookGuard = nullptr;

LRESULT CALLBACK swallow(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    // The display has most likely woken already. Telling the guard only
    // posts a message: a hook that keeps input waiting is dropped by Windows.
    hookGuard->noteInput();
    // A nonzero return keeps the event from going any further.
    return 1;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

void Win32Input::blockInput(bool block) {
  if (block) {
    if (!BlockInput(TRUE)) hooks_.start(&hookThreadMain, this);
    return;
  }
  BlockInput(FALSE);
  hooks_.stop();
}

DWORD WINAPI Win32Input::hookThreadMain(void* self) {
  auto* input = static_cast<Win32Input*>(self);
  hookGuard = &input->guard_;
  HINSTANCE module = GetModuleHandleW(nullptr);
  OwnedHook keyboard(SetWindowsHookExW(WH_KEYBOARD_LL, &swallow, module, 0));
  OwnedHook mouse(SetWindowsHookExW(WH_MOUSE_LL, &swallow, module, 0));
  input->hooks_.ready();
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}

}  // namespace platform::win32
