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

Win32Input::~Win32Input() {
  stopHooks();
}

void Win32Input::blockInput(bool block) {
  if (block) {
    if (!BlockInput(TRUE)) startHooks();
    return;
  }
  BlockInput(FALSE);
  stopHooks();
}

DWORD WINAPI Win32Input::hookThreadMain(void* self) {
  auto* input = static_cast<Win32Input*>(self);
  hookGuard = &input->guard_;
  HINSTANCE module = GetModuleHandleW(nullptr);
  OwnedHook keyboard(SetWindowsHookExW(WH_KEYBOARD_LL, &swallow, module, 0));
  OwnedHook mouse(SetWindowsHookExW(WH_MOUSE_LL, &swallow, module, 0));
  // The queue exists before the starter goes on, so the WM_QUIT that ends the
  // hold cannot get lost.
  MSG message;
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
  SetEvent(input->hooksReady_.get());
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}

void Win32Input::startHooks() {
  if (hookThread_) return;
  hooksReady_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!hooksReady_) return;
  DWORD id = 0;
  hookThread_.reset(CreateThread(nullptr, 0, &hookThreadMain, this, 0, &id));
  if (!hookThread_) return;
  hookThreadId_ = id;
  WaitForSingleObject(hooksReady_.get(), INFINITE);
}

void Win32Input::stopHooks() {
  if (!hookThread_) return;
  PostThreadMessageW(hookThreadId_, WM_QUIT, 0, 0);
  WaitForSingleObject(hookThread_.get(), INFINITE);
  hookThread_.reset();
  hookThreadId_ = 0;
}

}  // namespace platform::win32
