#pragma once

namespace platform::linux_desktop::wayland {

// Whether another client (a screen locker) holds wlroots' input inhibitor
// now, or nothing can tell. Asking for the inhibitor while another client
// holds it is a protocol error, which ends the connection that asked: so it
// is asked for on a connection of this function's own, closed again at once,
// and the program's own connection asks only when this says no.
bool inputInhibitedByAnother();

}  // namespace platform::linux_desktop::wayland
