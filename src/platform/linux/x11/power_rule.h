#pragma once

namespace platform::linux_desktop {

// The X server's requests for a power-down, as a seam: the X11 hold guard and
// the switch-off make them through xcb, the tests through a fake.
class PowerRequests {
 public:
  virtual ~PowerRequests() = default;
  virtual bool dpmsPresent() = 0;  // the server has the DPMS extension
  virtual bool dpmsCapable() = 0;  // and a display that DPMS can switch
  virtual bool dpmsEnabled() = 0;
  virtual void dpmsEnable() = 0;
  virtual void dpmsForceOff() = 0;
  virtual void activateScreenSaver() = 0;
};

// DPMS "force off", enabling DPMS first since the server refuses the force
// while it is disabled (and leaving it enabled); on a server without DPMS
// (Xvfb, VNC, remote sessions) the screen saver's blanking instead.
void powerDown(PowerRequests& server);

}  // namespace platform::linux_desktop
