#pragma once

#include <windows.h>

#include <atomic>
#include <thread>

#include "platform/input.h"
#include "platform/win32/handles.h"

namespace platform::win32 {

// Blocks keyboard and mouse input. BlockInput needs an elevated process and
// fails for an ordinary user; then low-level keyboard and mouse hooks swallow
// every event instead, serviced by a thread of their own that pumps messages
// (the UI thread sleeps through the hold and could not).
class Win32Input final : public Input {
 public:
  Win32Input() = default;
  ~Win32Input() override;
  Win32Input(const Win32Input&) = delete;
  Win32Input& operator=(const Win32Input&) = delete;

  void blockInput(bool block) override;

  // Whether the hooks are in now (for tests).
  bool hooksInstalled() const { return hookThread_.joinable(); }

 private:
  void startHooks();
  void stopHooks();

  std::thread hookThread_;
  std::atomic<DWORD> hookThreadId_ = 0;
};

}  // namespace platform::win32
