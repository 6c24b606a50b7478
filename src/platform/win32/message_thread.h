#pragma once

#include <windows.h>

#include "platform/win32/handles.h"

namespace platform::win32 {

// A thread of the program's own that pumps messages: start returns once the
// thread has called ready(), and stop ends it with WM_QUIT and joins it.
class MessageThread {
 public:
  MessageThread() = default;
  ~MessageThread() { stop(); }
  MessageThread(const MessageThread&) = delete;
  MessageThread& operator=(const MessageThread&) = delete;

  explicit operator bool() const { return static_cast<bool>(thread_); }

  // Runs main(param) on a new thread and waits for its ready(); does nothing
  // while the thread runs.
  void start(LPTHREAD_START_ROUTINE main, void* param) {
    if (thread_) return;
    ready_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!ready_) return;
    DWORD id = 0;
    thread_.reset(CreateThread(nullptr, 0, main, param, 0, &id));
    if (!thread_) return;
    id_ = id;
    WaitForSingleObject(ready_.get(), INFINITE);
  }

  // Called by the thread once it is set up. Its queue exists before the
  // starter goes on, so the WM_QUIT of stop cannot get lost.
  void ready() {
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    SetEvent(ready_.get());
  }

  void stop() {
    if (!thread_) return;
    PostThreadMessageW(id_, WM_QUIT, 0, 0);
    WaitForSingleObject(thread_.get(), INFINITE);
    thread_.reset();
    id_ = 0;
  }

 private:
  OwnedHandle ready_;
  OwnedHandle thread_;
  DWORD id_ = 0;
};

}  // namespace platform::win32
