#include "power/switch_off.h"

#include <cmath>

#include "power/parse_number.h"
#include "settings/catalogue.h"
#include "settings/registry_store.h"

namespace power {

using namespace platform;

bool mnuOffBtn_Click(const SwitchOff& context, WindowHandle form1) {
  // On Windows nothing tells whether the display went dark. Where the platform
  // knows that it did not, there is nothing to hold.
  if (context.windows.sendMessage(form1, msg::kSysCommand, kScMonitorPower, kMonitorOff) ==
      kMonitorPowerFailed) {
    return false;
  }
  HoldInput(context);
  return true;
}

void HoldInput(const SwitchOff& context) {
  // Handlers of waiting messages run now, a second switch-off with its whole
  // hold included, before this one blocks input.
  context.windows.dispatchPendingMessages();

  // The guard is running before input is blocked: the block's first input is
  // already one that may wake the display.
  context.guard.start();
  context.input.blockInput(true);
  // Input flows again whatever happens between here and the end of the hold,
  // and the guard has ended before it does, so no power-down of the guard can
  // come after the hold.
  struct Unblock {
    HoldGuard& guard;
    Input& input;
    ~Unblock() {
      guard.stop();
      input.blockInput(false);
    }
  } unblock{context.guard, context.input};

  const std::u16string holdText =
      settings::LoadRegText(context.registry, RegRoot::CurrentUser, context.settingsKeyPath,
                            std::u16string(settings::kHoldit));
  context.sleeper.sleep(holdMilliseconds(holdText));
}

std::uint32_t holdMilliseconds(std::u16string_view holdText) {
  double seconds = ParseLeadingNumber(holdText);
  if (seconds > 10) seconds = ParseLeadingNumber(u"3");
  // Halves go to the even neighbour (the default rounding mode): 62.5 -> 62.
  const double milliseconds = std::nearbyint(seconds * 1000);
  // Below 0 there is no hold: passed on, a negative count would be a wait of
  // weeks with input blocked.
  if (!(milliseconds > 0)) return 0;
  if (milliseconds > kLongestHoldMs) return kLongestHoldMs;
  return static_cast<std::uint32_t>(milliseconds);
}

}  // namespace power
