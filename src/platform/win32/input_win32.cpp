#include "platform/win32/input_win32.h"

namespace platform::win32 {
namespace {

LRESULT CALLBACK swallow(int code, WPARAM wParam, LPARAM lParam) {
  // A nonzero return keeps the event from going any further.
  if (code == HC_ACTION) return 1;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

Win32Input::~Win32Input() { stopHooks(); }

void Win32Input::blockInput(bool block) {
  if (block) {
    if (!BlockInput(TRUE)) startHooks();
    return;
  }
  BlockInput(FALSE);
  stopHooks();
}

void Win32Input::startHooks() {
  if (hookThread_.joinable()) return;
  OwnedHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!ready) return;
  HANDLE readyEvent = ready.get();
  hookThread_ = std::thread([this, readyEvent] {
    hookThreadId_ = GetCurrentThreadId();
    HINSTANCE module = GetModuleHandleW(nullptr);
    OwnedHook keyboard(SetWindowsHookExW(WH_KEYBOARD_LL, &swallow, module, 0));
    OwnedHook mouse(SetWindowsHookExW(WH_MOUSE_LL, &swallow, module, 0));
    // Make sure this thread has a message queue before the starter goes on,
    // so that the WM_QUIT that ends the hold cannot get lost.
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    SetEvent(readyEvent);
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  });
  WaitForSingleObject(readyEvent, INFINITE);
}

void Win32Input::stopHooks() {
  if (!hookThread_.joinable()) return;
  PostThreadMessageW(hookThreadId_, WM_QUIT, 0, 0);
  hookThread_.join();
  hookThreadId_ = 0;
}

}  // namespace platform::win32
