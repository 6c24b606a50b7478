#include "platform/linux/wayland/connection.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

#include "platform/linux/clock.h"

namespace platform::linux_desktop::wayland {

std::unique_ptr<Connection> Connection::open() {
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) return nullptr;
  const int wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd < 0) {
    wl_display_disconnect(display);
    return nullptr;
  }
  return std::unique_ptr<Connection>(new Connection(display, wakeFd));
}

Connection::Connection(wl_display* display, int wakeFd)
    : display_(display), wakeFd_(wakeFd), thread_([this] { loop(); }) {}

Connection::~Connection() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
  thread_.join();
  ::close(wakeFd_);
  wl_display_disconnect(display_);
}

void Connection::post(std::function<void()> work) {
  {
    const std::lock_guard lock(mutex_);
    work_.push_back(std::move(work));
  }
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
}

void Connection::setTimer(Milliseconds at, std::function<void()> then) {
  timerAt_ = at;
  timer_ = std::move(then);
}

bool Connection::reopen() {
  wl_display* fresh = wl_display_connect(nullptr);
  if (fresh == nullptr) return false;
  wl_display_disconnect(display_);
  display_ = fresh;
  lostTold_ = false;
  return true;
}

void Connection::loop() {
  for (;;) {
    std::deque<std::function<void()>> work;
    {
      const std::lock_guard lock(mutex_);
      work.swap(work_);
      // Work handed over before the end still runs: its caller waits for it.
      if (stopping_ && work.empty()) return;
    }
    for (auto& item : work) item();
    if (timerAt_ >= 0 && timerAt_ <= steadyNow()) {
      timerAt_ = -1;
      timer_();
    }

    // Whatever the work or the last events did, a broken connection is told
    // of before anything else waits on it.
    if (broken() && !lostTold_) {
      lostTold_ = true;
      if (lost_) lost_();
    }
    const bool connected = !broken();
    bool reading = false;
    if (connected) {
      while (wl_display_prepare_read(display_) != 0) wl_display_dispatch_pending(display_);
      reading = true;
      wl_display_flush(display_);
    }
    pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {wl_display_get_fd(display_), POLLIN, 0}};
    const Milliseconds wait = waitUntil(timerAt_, steadyNow());
    ::poll(fds, connected ? 2 : 1, static_cast<int>(wait));
    if (reading) {
      // A hang-up is read too: the read fails and marks the connection broken.
      if (fds[1].revents != 0) {
        wl_display_read_events(display_);
      } else {
        wl_display_cancel_read(display_);
      }
      wl_display_dispatch_pending(display_);
    }
    if ((fds[0].revents & POLLIN) != 0) {
      std::uint64_t count = 0;
      [[maybe_unused]] const ssize_t got = ::read(wakeFd_, &count, sizeof count);
    }
  }
}

}  // namespace platform::linux_desktop::wayland
