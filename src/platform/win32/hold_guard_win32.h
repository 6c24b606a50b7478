#pragma once

#include <windows.h>

#include <atomic>

#include "platform/hold_guard.h"
#include "platform/win32/message_thread.h"

namespace platform::win32 {

// The hold guard on Windows. Windows notes input, and lights a dark display
// again, before the low-level hooks see the input, so swallowing it is not
// enough. The guard has a thread and a hidden window of its own, hears of
// input from the hooks (noteInput) and of the display's state from the power
// manager, and sends the power-down to its own window as the rule says.
class Win32HoldGuard final : public HoldGuard {
 public:
  explicit Win32HoldGuard(WakeRule& rule) : rule_(rule) {}
  ~Win32HoldGuard() override;
  Win32HoldGuard(const Win32HoldGuard&) = delete;
  Win32HoldGuard& operator=(const Win32HoldGuard&) = delete;

  void start() override;
  void stop() override;

  // Input arrived. Safe from any thread, and returns at once: the low-level
  // hooks call it, and Windows drops a hook that keeps input waiting.
  void noteInput();

  // The class of the guard's window, which exists while a hold runs.
  static constexpr wchar_t kWindowClass[] = L"TenebroliteHoldGuard";

 private:
  static DWORD WINAPI threadMain(void* self);
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void run();
  bool inputDesktopIsOurs() const;

  WakeRule& rule_;
  MessageThread thread_;
  std::atomic<HWND> window_{nullptr};
  // Set while a wake message waits in the guard's queue, so that a burst of
  // mouse moves posts one message, not thousands.
  std::atomic<bool> wakePosted_{false};
};

}  // namespace platform::win32
