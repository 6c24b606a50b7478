#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/hold_guard.h"
#include "platform/input.h"
#include "platform/registry.h"
#include "platform/sleep.h"
#include "platform/window.h"

namespace power {

// What the switch-off needs of the system and of the settings.
struct SwitchOff {
  platform::WindowSystem& windows;
  platform::Input& input;
  platform::HoldGuard& guard;
  platform::Sleeper& sleeper;
  platform::Registry& registry;
  const std::u16string& settingsKeyPath;
};

inline constexpr std::intptr_t kMonitorOff = 2;
inline constexpr std::uint32_t kLongestHoldMs = 10'000;

// Powers the display down, then holds input for the stored hold time. False,
// with no hold, when the platform knows the display was not switched off.
bool mnuOffBtn_Click(const SwitchOff& context, platform::WindowHandle form1);

// Dispatches what is waiting, blocks input, reads "Holdit", sleeps, unblocks;
// the hold guard keeps the display dark from the block until just before the
// unblock.
void HoldInput(const SwitchOff& context);

// The hold for a stored text: a number above 10 is replaced by 3, and the
// result is always 0..10000 ms (a number below 0 is no hold at all).
std::uint32_t holdMilliseconds(std::u16string_view holdText);

}  // namespace power
