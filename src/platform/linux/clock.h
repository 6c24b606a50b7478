#pragma once

#include <chrono>

#include "platform/hold_guard.h"

namespace platform::linux_desktop {

// The hold guards' clock: it never jumps.
inline Milliseconds steadyNow() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace platform::linux_desktop
