#include "power/hold_guard.h"

namespace power {

void HoldGuardRule::begin() {
  holding_ = true;
  woken_ = false;
  poweredDown_ = false;
}

void HoldGuardRule::noteWake() {
  if (holding_) woken_ = true;
}

void HoldGuardRule::end() {
  holding_ = false;
  woken_ = false;
}

bool HoldGuardRule::due(platform::Milliseconds now, const std::function<bool()>& ownDesktop,
                        platform::Milliseconds& next) {
  next = -1;
  if (!holding_ || !woken_) return false;
  if (poweredDown_ && now - lastPowerDown_ < kGuardIntervalMs) {
    // The wake is not forgotten: the display it lit stays dark only if the
    // guard comes back to it when the interval is over.
    next = lastPowerDown_ + kGuardIntervalMs;
    return false;
  }
  woken_ = false;
  if (!ownDesktop()) return false;
  poweredDown_ = true;
  lastPowerDown_ = now;
  return true;
}

}  // namespace power
