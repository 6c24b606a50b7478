#include "power/switch_off.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "fakes/fake_registry.h"

namespace power {
namespace {

using fakes::CallLog;

const std::u16string kSettingsKey = u"Software\\Velmarind\\Tenebrolite";
constexpr platform::WindowHandle kForm1 = 0x4242;

struct World {
  CallLog log;
  fakes::FakeRegistry registry;
  fakes::FakeWindowSystem windows{log};
  fakes::FakeInput input{log};
  fakes::FakeHoldGuard guard{log};
  fakes::FakeSleeper sleeper{log};
  SwitchOff context{windows, input, guard, sleeper, registry, kSettingsKey};
};

TEST(SwitchOff, PowersDownThenDispatchesBlocksReadsSleepsUnblocks) {
  World world;
  world.registry.putText(kSettingsKey, u"Holdit", u"2.5");
  // The read happens between block and sleep: a value changed while the queue
  // is dispatched is the one used.
  world.windows.pending.push_back([&] { world.registry.putText(kSettingsKey, u"Holdit", u"1"); });
  mnuOffBtn_Click(world.context, kForm1);
  // The guard runs from just before the block to just before the unblock.
  const CallLog expected = {"send:" + std::to_string(kForm1) + ",0x112,0xf170,2",
                            "dispatch",
                            "guard on",
                            "block",
                            "sleep:1000",
                            "guard off",
                            "unblock"};
  EXPECT_EQ(world.log, expected);
  EXPECT_EQ(world.registry.openHandleCount(), 0u);
}

TEST(SwitchOff, StoredHoldBecomesMilliseconds) {
  const struct {
    const char* what;
    std::optional<std::u16string> stored;
    std::uint32_t ms;
  } cases[] = {
      {"absent", std::nullopt, 0},
      {"10", u"10", 10000},
      {"just above 10", u"10.001", 3000},
      {"25", u"25", 3000},
      {"2.5", u"2.5", 2500},
      {"half to even, down", u"0.0625", 62},
      {"half to even, up", u"0.1875", 188},
      {"trailing words", u"3 sec", 3000},
      {"letters only", u"sec", 0},
      {"exponent at the limit", u"1e1", 10000},
      {"exponent above it", u"1e2", 3000},
      {"negative", u"-2", 0},
      {"slightly negative", u"-0.0004", 0},
      {"hugely negative", u"-1e300", 0},
      {"negative infinity", u"-1e999", 0},
      {"positive infinity", u"1e999", 3000},
      {"hex", u"&H5", 5000},
      {"big hex", u"&HFFFFFFFF", 3000},
      {"octal", u"&O7", 7000},
      {"comma", u"2,5", 2000},
      {"zero", u"0", 0},
      {"tiny", u"0.0004", 0},
      {"rounds to one", u"0.0005", 0},  // 0.5 ms, halves to even
      {"a million digits", std::u16string(1'000'000, u'7'), 3000},
  };
  for (const auto& c : cases) {
    World world;
    if (c.stored) world.registry.putText(kSettingsKey, u"Holdit", *c.stored);
    HoldInput(world.context);
    EXPECT_EQ(world.log[3], "sleep:" + std::to_string(c.ms)) << c.what;
  }
}

TEST(SwitchOff, ReadsADwordHold) {
  World world;
  world.registry.putValue(kSettingsKey, u"Holdit", platform::reg_type::kDword, {3, 0, 0, 0});
  HoldInput(world.context);
  EXPECT_EQ(world.log[3], "sleep:3000");
}

TEST(SwitchOff, ASecondSwitchOffWaitingInTheQueueCompletesItsHoldFirst) {
  World world;
  world.registry.putText(kSettingsKey, u"Holdit", u"1");
  world.windows.pending.push_back([&] { mnuOffBtn_Click(world.context, kForm1); });
  mnuOffBtn_Click(world.context, kForm1);
  const std::string send = "send:" + std::to_string(kForm1) + ",0x112,0xf170,2";
  const CallLog expected = {send,    "dispatch",   send,        "dispatch", "guard on",
                            "block", "sleep:1000", "guard off", "unblock",  "guard on",
                            "block", "sleep:1000", "guard off", "unblock"};
  EXPECT_EQ(world.log, expected);
}

}  // namespace
}  // namespace power
