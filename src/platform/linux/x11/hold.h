#pragma once

#include <xcb/xcb.h>

#include <atomic>
#include <future>
#include <string>
#include <thread>

#include "platform/hold_guard.h"
#include "platform/input.h"
#include "platform/linux/x11/power_rule.h"

namespace platform::linux_desktop {

// The power-down requests on an xcb connection.
class XcbPower final : public PowerRequests {
 public:
  explicit XcbPower(xcb_connection_t* connection) : connection_(connection) {}
  bool dpmsPresent() override;
  bool dpmsCapable() override;
  bool dpmsEnabled() override;
  void dpmsEnable() override;
  void dpmsForceOff() override;
  void activateScreenSaver() override;

 private:
  xcb_connection_t* connection_;
};

// The hold on X11. A thread of the guard's own, with its own connection to
// the X server (the UI thread sleeps through the hold), grabs the keyboard
// and the pointer while input is blocked: the grabbed input comes to it and
// to no other program. The X server wakes the display at any input before a
// grab sees it, so each grabbed event is a wake, answered by a power-down as
// the WakeRule says.
class X11HoldGuard final : public HoldGuard {
 public:
  // display: the X display the program's windows are on, as Qt opened it.
  X11HoldGuard(WakeRule& rule, std::string display) : rule_(rule), display_(std::move(display)) {}
  ~X11HoldGuard() override;
  X11HoldGuard(const X11HoldGuard&) = delete;
  X11HoldGuard& operator=(const X11HoldGuard&) = delete;

  void start() override;
  // The grabs are released before the thread ends.
  void stop() override;
  // Whether the thread grabs input; a grab that another client holds (the
  // button of the click may still be down, a menu may have the pointer) is
  // tried again until it succeeds or the hold ends.
  void grab(bool on);

 private:
  void run(int wakeFd, std::promise<void>& ready);
  void signal();

  WakeRule& rule_;
  const std::string display_;
  std::thread thread_;
  int wakeFd_ = -1;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> grabWanted_{false};
};

// Blocks input through the guard's grabs.
class X11Input final : public Input {
 public:
  explicit X11Input(X11HoldGuard& guard) : guard_(guard) {}
  void blockInput(bool block) override { guard_.grab(block); }

 private:
  X11HoldGuard& guard_;
};

}  // namespace platform::linux_desktop
