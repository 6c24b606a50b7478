#pragma once

#include <QDBusConnection>
#include <QThread>
#include <memory>

#include "platform/hold_guard.h"

namespace platform::linux_desktop {

class MutterWakeAfterHold;

// The hold on GNOME Wayland. No client can hold input there, so the guard
// only keeps the display dark: a thread of its own, with its own bus
// connection (the UI thread sleeps through the hold), hears of user activity
// and of the compositor reporting the display on, and powers it down again as
// the WakeRule says. GNOME wakes only a display that its settings daemon
// blanked, so after the hold the first user activity wakes the display this
// program blanked.
class MutterHoldGuard final : public HoldGuard {
 public:
  explicit MutterHoldGuard(WakeRule& rule);
  ~MutterHoldGuard() override;
  MutterHoldGuard(const MutterHoldGuard&) = delete;
  MutterHoldGuard& operator=(const MutterHoldGuard&) = delete;

  // Asks GNOME's compositor on the session bus to switch the display off,
  // through its PowerSaveMode property. False when it did not answer or
  // refused. The request never starts a service.
  bool powerDown();
  void start() override;
  void stop() override;
  // Whether the display this program blanked waits for the first user
  // activity after the hold to be woken by it (on the UI thread's events).
  bool wakeAfterHoldPending() const;

 private:
  WakeRule& rule_;
  std::unique_ptr<QThread> thread_;
  std::unique_ptr<MutterWakeAfterHold> afterHold_;
  bool poweredDownByMutter_ = false;
};

}  // namespace platform::linux_desktop
