#pragma once

#include <QDBusConnection>
#include <QThread>
#include <memory>

#include "platform/hold_guard.h"

namespace platform::linux_desktop {

// Asks the desktop on the session bus to switch the display off: GNOME's
// compositor through its PowerSaveMode property, else KDE Plasma's power
// management through its "Turn Off Screen" global shortcut. False when no
// desktop answered, or the one that did refused: a Wayland client has no
// other way to the display. The requests never start a service.
bool requestDesktopPowerDown(const QDBusConnection& bus);

// The hold on GNOME Wayland. No client can hold input there, so the guard
// only keeps the display dark: a thread of its own, with its own bus
// connection (the UI thread sleeps through the hold), hears the compositor
// report the display on and powers it down again as the WakeRule says.
// Elsewhere it hears nothing and does nothing.
class MutterHoldGuard final : public HoldGuard {
 public:
  explicit MutterHoldGuard(WakeRule& rule) : rule_(rule) {}
  ~MutterHoldGuard() override;
  MutterHoldGuard(const MutterHoldGuard&) = delete;
  MutterHoldGuard& operator=(const MutterHoldGuard&) = delete;

  void start() override;
  void stop() override;

 private:
  WakeRule& rule_;
  std::unique_ptr<QThread> thread_;
};

}  // namespace platform::linux_desktop
