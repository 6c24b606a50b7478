#pragma once

namespace platform::linux_desktop {

// Asks KDE Plasma's power management, through its "Turn Off Screen" global
// shortcut, to switch the display off. False when it is not running or has
// no such shortcut; the request never starts a service. Safe from any thread.
bool invokeTurnOffScreen();

}  // namespace platform::linux_desktop
