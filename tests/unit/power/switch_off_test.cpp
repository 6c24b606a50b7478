#include "power/switch_off.h"

#include <gtest/gtest.h>

#include <vector>

#include "fakes.h"

namespace power {
namespace {

using fakes::kSettingsKey;

TEST(SwitchOff, PowersDownThenDispatchesBlocksReadsSleepsUnblocks) {
  fakes::World world;
  world.registry.putText(kSettingsKey, u"Holdit", u"2.5");
  // A value changed while the queue is dispatched is the one used.
  world.windows.pending.push_back([&] { world.registry.putText(kSettingsKey, u"Holdit", u"1"); });
  mnuOffBtn_Click({world.windows, world.hold, world.hold, world.hold, world.registry, kSettingsKey},
                  7);
  // The guard keeps the display dark from just before the block to just before the unblock.
  const fakes::Log expected = {"send:7,274,61808,2", "dispatch",  "guard on", "block",
                               "sleep:1000",         "guard off", "unblock"};
  EXPECT_EQ(world.log, expected);
  EXPECT_EQ(world.registry.handles.size(), 0u);

  // A power-down the platform knows to have failed has nothing to hold.
  world.log.clear();
  world.windows.sendResult = platform::kMonitorPowerFailed;
  mnuOffBtn_Click({world.windows, world.hold, world.hold, world.hold, world.registry, kSettingsKey},
                  7);
  EXPECT_EQ(world.log, fakes::Log{"send:7,274,61808,2"});
}

// The hold slept for a stored value, or for none when the text is absent.
std::string holdFor(const fakes::Registry::Value* stored) {
  fakes::World world;
  if (stored != nullptr) world.registry.keys[kSettingsKey][u"Holdit"] = *stored;
  HoldInput({world.windows, world.hold, world.hold, world.hold, world.registry, kSettingsKey});
  return world.log.at(3);
}

TEST(SwitchOff, TheStoredHoldBecomesMilliseconds) {
  std::vector<std::pair<std::u16string, std::uint32_t>> cases = {
      {u"10", 10000},   {u"10.001", 3000}, {u"25", 3000},         {u"2.5", 2500}, {u"0.0625", 62},
      {u"0.1875", 188}, {u"0.0005", 0},    {u"3 sec", 3000},      {u"sec", 0},    {u"1e1", 10000},
      {u"1e2", 3000},   {u"-2", 0},        {u"-0.0004", 0},       {u"-1e300", 0}, {u"-1e999", 0},
      {u"1e999", 3000}, {u"&H5", 5000},    {u"&HFFFFFFFF", 3000}, {u"&O7", 7000}, {u"2,5", 2000},
      {u"0", 0}};
  cases.emplace_back(std::u16string(1'000'000, u'7'), 3000);
  cases.emplace_back(std::u16string(100'000, u' ') + u"4", 4000);
  for (const auto& [text, ms] : cases) {
    const fakes::Registry::Value stored{platform::reg_type::kSz, fakes::utf16(text + u'\0')};
    EXPECT_EQ(holdFor(&stored), "sleep:" + std::to_string(ms)) << fakes::narrow(text.substr(0, 9));
  }
  EXPECT_EQ(holdFor(nullptr), "sleep:0") << "absent";
  const fakes::Registry::Value dword{platform::reg_type::kDword, {3, 0, 0, 0}};
  EXPECT_EQ(holdFor(&dword), "sleep:3000") << "REG_DWORD";
}

}  // namespace
}  // namespace power
