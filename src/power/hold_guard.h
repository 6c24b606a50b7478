#pragma once

#include "platform/hold_guard.h"

namespace power {

// The shortest time between two power-downs of the guard, however much input
// arrives: enough to keep the display dark, not so many requests that the
// system spends the hold on them.
inline constexpr platform::Milliseconds kGuardIntervalMs = 250;

// The hold guard's rule: a wake noted during the hold is answered by one
// power-down, at once or, within kGuardIntervalMs of the last one, as soon as
// that interval is over. A wake that comes while another desktop has the
// input (Ctrl+Alt+Del, the lock screen) is the user's wish and is let be.
class HoldGuardRule final : public platform::WakeRule {
 public:
  void begin() override;
  void noteWake() override;
  void end() override;
  bool due(platform::Milliseconds now, const std::function<bool()>& ownDesktop,
           platform::Milliseconds& next) override;

 private:
  bool holding_ = false;
  bool woken_ = false;
  bool poweredDown_ = false;  // by the guard, during this hold
  platform::Milliseconds lastPowerDown_ = 0;
};

}  // namespace power
