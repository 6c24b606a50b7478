#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>

namespace platform {

// Milliseconds on a clock that never jumps (time since boot, say).
using Milliseconds = std::int64_t;

// How long a guard waits for a time that WakeRule::due gave: -1 (none) stays
// -1, a time already past is no wait. The caller reads its clock once: two
// reads can straddle the time and make the wait negative.
inline Milliseconds waitUntil(Milliseconds next, Milliseconds now) {
  return next < 0 ? -1 : std::max<Milliseconds>(0, next - now);
}

// When the hold guard powers the display down again. The rule is decided
// above the platform; the platform asks it from the guard's own thread only.
class WakeRule {
 public:
  virtual ~WakeRule() = default;
  // A hold begins.
  virtual void begin() = 0;
  // Input arrived, or the display reported itself on, during the hold.
  virtual void noteWake() = 0;
  // The hold is over: nothing is due any more.
  virtual void end() = 0;
  // Whether to power the display down now. ownDesktop tells whether the
  // input desktop is the program's own; it is asked only when a power-down
  // would otherwise be due. When nothing is due now, next is the time at
  // which to ask again, or -1 for "not before the next wake".
  virtual bool due(Milliseconds now, const std::function<bool()>& ownDesktop,
                   Milliseconds& next) = 0;
};

// Keeps the display dark through a hold: a thread of the guard's own hears of
// input and of the display reporting itself on, and powers the display down
// again when its WakeRule says so. It needs a thread of its own because the
// program's UI thread sleeps through the hold.
class HoldGuard {
 public:
  virtual ~HoldGuard() = default;
  virtual void start() = 0;
  // Returns once the guard's thread has ended: nothing it does can come after.
  virtual void stop() = 0;
};

}  // namespace platform
