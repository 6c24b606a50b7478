#pragma once

#include <string>

#include "platform/hold_guard.h"
#include "platform/input.h"
#include "platform/linux/wayland_power.h"
#include "platform/linux/x11_hold.h"

namespace platform::linux_desktop {

// How the display is switched off and held in this session, decided in one
// place. A Wayland session (XDG_SESSION_TYPE says so, or WAYLAND_DISPLAY is
// set) has no way for a client to reach the display or to hold input, even
// through Xwayland: the desktop is asked on the session bus and the guard
// only keeps the display dark. Any other session is X11's: DPMS (or the
// screen saver), and grabs for the hold.
class DesktopSession {
 public:
  // x11Display: see x11DisplayName.
  DesktopSession(WakeRule& rule, std::string x11Display);
  DesktopSession(const DesktopSession&) = delete;
  DesktopSession& operator=(const DesktopSession&) = delete;

  // False when nothing could be asked to switch the display off.
  bool powerDown();
  HoldGuard& guard();
  Input& input();
  // Whether the display, dark after a hold, comes back only when this
  // program answers the next user input: a run that ends after the hold
  // waits for that first.
  bool displayWaitsForInput() const;

 private:
  class NoInputBlock final : public Input {
   public:
    void blockInput(bool) override {}
  };

  bool wayland_;
  X11HoldGuard x11Guard_;
  X11Input x11Input_{x11Guard_};
  MutterHoldGuard mutterGuard_;
  NoInputBlock noInputBlock_;
};

// The X display Qt's xcb platform opens for these arguments, read before
// QApplication takes its own options out of them: the last "-display NAME"
// (or "--display NAME"), else $DISPLAY as it is at the start. A DISPLAY
// changed later, by the program or a library, cannot split the guard from
// the program's windows.
std::string x11DisplayName(int argc, char** argv);

}  // namespace platform::linux_desktop
