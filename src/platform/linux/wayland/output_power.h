#pragma once

#include <wayland-client.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/linux/wayland/globals.h"

namespace platform::linux_desktop::wayland {

// Every output's power through the compositor's own protocol: wlroots'
// output power control, else KWin's DPMS where it says an output supports
// it on every output (where some do not, the desktop's other way is asked
// instead). On the connection's thread only.
class OutputPower {
 public:
  // onWake: an output this program switched off reports itself on again.
  OutputPower(wl_display* display, Globals& globals, std::function<void()> onWake);
  ~OutputPower();
  OutputPower(const OutputPower&) = delete;
  OutputPower& operator=(const OutputPower&) = delete;

  // The click: every output that the protocol can switch, off. False when
  // the compositor offers no such protocol, or no output took the request
  // (a failed answer, or DPMS reported unsupported).
  bool switchOff();
  // An output that came while the outputs are off: off too, and held.
  void switchOffAdded(wl_output* output);
  // Whether an output this program switched off has not been reported on.
  bool anyOff() const;
  // The guard: the outputs of the click off again.
  void switchOffAgain();
  // The first input after the hold: the outputs this program switched off
  // and nobody has switched on since, on again. A compositor that wakes its
  // outputs at input itself reports them on first, so they are left be.
  void switchBackOn();
  void outputGone(wl_output* output);

  struct Control;

 private:
  void setOff(Control& control, bool off);
  Control& add(wl_output* output);

  wl_display* display_;
  Globals& globals_;
  std::function<void()> onWake_;
  std::vector<std::unique_ptr<Control>> controls_;

  friend struct Listeners;
};

}  // namespace platform::linux_desktop::wayland
