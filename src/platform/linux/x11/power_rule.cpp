#include "platform/linux/x11/power_rule.h"

namespace platform::linux_desktop {

void powerDown(PowerRequests& server) {
  if (server.dpmsPresent() && server.dpmsCapable()) {
    if (!server.dpmsEnabled()) server.dpmsEnable();
    server.dpmsForceOff();
    return;
  }
  server.activateScreenSaver();
}

}  // namespace platform::linux_desktop
