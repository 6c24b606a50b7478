#include "platform/win32/input_win32.h"

namespace platform::win32 {
namespace {

LRESULT CALLBACK swallow(int code, WPARAM wParam, LPARAM lParam) {
  // A nonzero return keeps the event from going any further.
  if (code == HC_ACTION) return 1;
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

DWORD WINAPI Win32Input::hookThreadMain(void* readyEvent) {
  HINSTANCE module = GetModuleHandleW(nullptr);
  OwnedHook keyboard(SetWindowsHookExW(WH_KEYBOARD_LL, &swallow, module, 0));
  OwnedHook mouse(SetWindowsHookExW(WH_MOUSE_LL, &swallow, module, 0));
  // The queue exists before the starter goes on, so the WM_QUIT that ends the
  // hold cannot get lost.
  MSG message;
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
  SetEvent(static_cast<HANDLE>(readyEvent));
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}

void Win32Input::startHooks() {
  if (hookThread_) return;
  OwnedHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!ready) return;
  DWORD id = 0;
  hookThread_.reset(CreateThread(nullptr, 0, &hookThreadMain, ready.get(), 0, &id));
  if (!hookThread_) return;
  hookThreadId_ = id;
  WaitForSingleObject(ready.get(), INFINITE);
}

void Win32Input::stopHooks() {
  if (!hookThread_) return;
  PostThreadMessageW(hookThreadId_, WM_QUIT, 0, 0);
  WaitForSingleObject(hookThread_.get(), INFINITE);
  hookThread_.reset();
  hookThreadId_ = 0;
}

}  // namespace platform::win32
