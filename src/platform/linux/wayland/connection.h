#pragma once

#include <wayland-client.h>

#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/hold_guard.h"

namespace platform::linux_desktop::wayland {

// The program's own connection to the compositor, beside Qt's, and the thread
// that serves it for the whole run: the compositor's events come during the
// hold, when the UI thread sleeps, and after it, when the display is to come
// back at the first input. Everything on the connection happens on that
// thread; other threads hand it work through run().
class Connection {
 public:
  // Null when no compositor answers at WAYLAND_DISPLAY.
  static std::unique_ptr<Connection> open();
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  wl_display* display() const { return display_; }

  // Runs work on the connection's thread, from another thread, and returns
  // its result once it has run.
  template <typename Work>
  auto run(Work work) -> decltype(work()) {
    auto task = std::make_shared<std::packaged_task<decltype(work())()>>(std::move(work));
    auto result = task->get_future();
    post([task] { (*task)(); });
    return result.get();
  }

  // On the thread: calls then at the time, in place of any earlier timer; a
  // time of -1 is none.
  void setTimer(Milliseconds at, std::function<void()> then);

  // On the thread. A connection is broken for good by a protocol error or by
  // the compositor going away: nothing sent on it arrives any more.
  bool broken() const { return wl_display_get_error(display_) != 0; }
  // Called on the thread, once, when the connection is found broken.
  void setLost(std::function<void()> lost) { lost_ = std::move(lost); }
  // On the thread, once nothing is left on the broken connection: a fresh
  // one in its place; false, and the broken one kept, when no compositor
  // answers.
  bool reopen();

 private:
  explicit Connection(wl_display* display, int wakeFd);
  void post(std::function<void()> work);
  void loop();

  wl_display* display_;
  const int wakeFd_;
  std::mutex mutex_;
  std::deque<std::function<void()>> work_;
  bool stopping_ = false;
  Milliseconds timerAt_ = -1;
  std::function<void()> timer_;
  std::function<void()> lost_;
  bool lostTold_ = false;
  std::thread thread_;
};

}  // namespace platform::linux_desktop::wayland
