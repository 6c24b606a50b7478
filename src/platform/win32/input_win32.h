#pragma once

#include <windows.h>

#include "platform/input.h"
#include "platform/win32/hold_guard_win32.h"
#include "platform/win32/message_thread.h"

namespace platform::win32 {

// Blocks keyboard and mouse input. BlockInput needs an elevated process and
// fails for an ordinary user; then low-level keyboard and mouse hooks swallow
// every event instead, serviced by a thread of their own that pumps messages
// (the UI thread sleeps through the hold and could not). The hooks tell the
// hold guard of every event they swallow.
class Win32Input final : public Input {
 public:
  explicit Win32Input(Win32HoldGuard& guard) : guard_(guard) {}
  Win32Input(const Win32Input&) = delete;
  Win32Input& operator=(const Win32Input&) = delete;

  void blockInput(bool block) override;

 private:
  static DWORD WINAPI hookThreadMain(void* self);

  Win32HoldGuard& guard_;
  MessageThread hooks_;
};

}  // namespace platform::win32
