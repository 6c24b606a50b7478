#pragma once

#include <memory>
#include <string>

#include "platform/hold_guard.h"
#include "platform/input.h"
#include "platform/linux/session_bus/mutter.h"
#include "platform/linux/session_bus/plasma.h"
#include "platform/linux/wayland/compositor.h"
#include "platform/linux/x11/hold.h"

namespace platform::linux_desktop {

// How the display is switched off and held in this session, decided in one
// place. A Wayland session (XDG_SESSION_TYPE says so, or WAYLAND_DISPLAY is
// set) gives a client no way to the display through Xwayland: the program
// asks the compositor on a Wayland connection of its own, or the desktop on
// the session bus, and holds input with the compositor's overlay where it
// has one. Any other session is X11's: DPMS (or the screen saver), and grabs
// for the hold.
class DesktopSession {
 public:
  // x11Display: see Arguments::x11Display.
  DesktopSession(WakeRule& rule, std::string x11Display);
  DesktopSession(const DesktopSession&) = delete;
  DesktopSession& operator=(const DesktopSession&) = delete;

  // False when nothing could be asked to switch the display off. Under
  // Wayland the ways are tried in this order, the first that takes the
  // request being the one the guard re-asserts through:
  //  1. the compositor's power protocol, every output off (wlroots' output
  //     power control; KWin's DPMS where an output supports it);
  //  2. GNOME's compositor on the session bus (PowerSaveMode);
  //  3. KDE Plasma's "Turn Off Screen" shortcut on the session bus.
  bool powerDown();
  HoldGuard& guard();
  Input& input();
  // Whether the display, dark after a hold, comes back only when this
  // program answers the next user input: a run that ends after the hold
  // waits for that first.
  bool displayWaitsForInput() const;

 private:
  // The guard of the way that switched the display off at the click.
  class WaylandGuard final : public HoldGuard {
   public:
    HoldGuard* way = nullptr;
    void start() override {
      if (way != nullptr) way->start();
    }
    void stop() override {
      if (way != nullptr) way->stop();
    }
  };

  // The hold's overlay, where the compositor has one.
  class WaylandInput final : public Input {
   public:
    wayland::Compositor* compositor = nullptr;
    void blockInput(bool block) override {
      if (compositor != nullptr) compositor->blockInput(block);
    }
  };

  bool wayland_;
  WakeRule& rule_;
  X11HoldGuard x11Guard_;
  X11Input x11Input_{x11Guard_};
  MutterHoldGuard mutterGuard_;
  // The program's own connection to the compositor, made at the first click
  // (nothing of it is needed for the icon); null until then, outside
  // Wayland, and where no compositor answers.
  std::unique_ptr<wayland::Compositor> compositor_;
  WaylandGuard waylandGuard_;
  WaylandInput waylandInput_;
};

}  // namespace platform::linux_desktop
