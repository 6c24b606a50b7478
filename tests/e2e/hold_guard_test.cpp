// The hold guard seen from outside: input during a hold brings the power-down
// back, no oftener than every 250 ms, and never after the hold. Wine does
// nothing with the power-down, so the requests are read from the trace.
#include <gtest/gtest.h>

#include <cstdio>

#include "harness.h"

namespace e2e {
namespace {

// The power-downs the program asked for, other than the switch-off's own.
std::vector<RelayCall> guardPowerDowns(const Program& program, HWND form1) {
  std::vector<RelayCall> downs;
  for (const RelayCall& call : program.relayCalls("user32.SendMessageW")) {
    if (call.args.size() == 4 && call.args[1] == WM_SYSCOMMAND && call.args[2] == SC_MONITORPOWER &&
        call.args[3] == 2 && reinterpret_cast<HWND>(call.args[0]) != form1) {
      downs.push_back(call);
    }
  }
  return downs;
}

TEST(HoldGuard, InputDuringTheHoldBringsThePowerDownBackAtMostEveryQuarterSecond) {
  StoredHold stored(L"1");
  TempFolder folder(L"guard");
  Program program(folder.install(), true);
  HWND form1 = program.mainWindow();
  TypingTarget target;
  ASSERT_TRUE(target.type(L"ok"));
  ASSERT_TRUE(waitFor([&] { return target.text() == L"ok"; }));

  // A hold with no input: the guard has nothing to answer.
  program.notifyIcon(WM_LBUTTONUP);
  ASSERT_TRUE(waitFor([&] { return program.endedHolds().size() == 1; }));
  EXPECT_TRUE(guardPowerDowns(program, form1).empty());

  // A hold with keys and mouse moves for most of its 3 s.
  stored.set(L"3");
  program.notifyIcon(WM_LBUTTONUP);
  ASSERT_TRUE(waitFor([&] { return program.relayCalls("user32.SetWindowsHookExW").size() == 4; }));
  constexpr int kMoves = 20;
  std::wstring moves = L"/usr/bin/xdotool";
  for (int i = 0; i < kMoves; ++i) {
    moves += L" mousemove " + std::to_wstring(100 + (i % 2) * 200) + L" 100 sleep 0.05";
  }
  runUnix(moves);
  const std::wstring keys = L"heldkeysheld";
  runUnix(L"/usr/bin/xdotool type --delay 50 " + keys);
  ASSERT_TRUE(waitFor([&] { return program.endedHolds().size() == 2; }));
  const Hold hold = program.endedHolds()[1];

  const std::vector<RelayCall> downs = guardPowerDowns(program, form1);
  std::printf("%zu power-downs of the guard for %d mouse moves and %zu keys in a %llu ms hold\n",
              downs.size(), kMoves, keys.size(), hold.milliseconds);
  ASSERT_FALSE(downs.empty()) << "input during the hold must bring the power-down back";
  for (std::size_t i = 0; i < downs.size(); ++i) {
    EXPECT_LT(downs[i].time, hold.unblocked) << "a power-down after the hold";
    EXPECT_GT(downs[i].time, hold.slept - 0.5);
    // The trace's clock is not the guard's: a little slack under 250 ms.
    if (i > 0) {
      EXPECT_GE(downs[i].time - downs[i - 1].time, 0.2) << "power-down " << i;
    }
  }
  EXPECT_LE(downs.size(), hold.milliseconds / 250 + 1);
  EXPECT_EQ(target.text(), L"ok") << "keys typed during the hold arrived";
  EXPECT_TRUE(program.exit());
}

}  // namespace
}  // namespace e2e
