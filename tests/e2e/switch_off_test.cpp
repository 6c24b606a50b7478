// The switch-off and its input hold, seen from outside.
#include <gtest/gtest.h>

#include <cstdio>

#include "harness.h"

namespace e2e {
namespace {

// The hold of the n-th switch-off in the trace, once it has ended.
bool holdEnded(const Program& program, std::size_t n, Hold& hold) {
  const auto holds = program.endedHolds();
  if (holds.size() <= n) return false;
  hold = holds[n];
  return true;
}

TEST(SwitchOff, PowersDownBlocksSleepsAndUnblocksInOrder) {
  StoredHold absent;
  TempFolder folder(L"switch off");
  Program program(folder.install(), true);
  HWND window = program.mainWindow();
  program.notifyIcon(WM_LBUTTONUP);
  Hold hold;
  ASSERT_TRUE(waitFor([&] { return holdEnded(program, 0, hold); }));

  std::vector<std::string> sequence;
  for (const RelayCall& call : program.relayCalls()) {
    if (call.function == "user32.SendMessageW") {
      EXPECT_EQ(reinterpret_cast<HWND>(call.args.at(0)), window);
      EXPECT_EQ(call.args.at(1), 0x112u);
      EXPECT_EQ(call.args.at(2), 0xF170u);
      EXPECT_EQ(call.args.at(3), 2u);
    }
    if (call.function == "user32.SetWindowsHookExW") {
      sequence.push_back("hook " + std::to_string(call.args.at(0)));
    } else if (call.function == "user32.SendMessageW" || call.function == "user32.BlockInput" ||
               call.function == "kernel32.Sleep") {
      sequence.push_back(call.function + " " +
                         std::to_string(call.args.empty() ? 0 : call.args[0]));
    }
  }
  // Under Wine BlockInput fails, as it does for an ordinary user on Windows:
  // the low-level hooks go in instead and come out with the unblock.
  const std::vector<std::string> expected = {
      "user32.SendMessageW " + std::to_string(reinterpret_cast<std::uintptr_t>(window)),
      "user32.BlockInput 1",
      "hook 13",
      "hook 14",
      "kernel32.Sleep 0",
      "user32.BlockInput 0",
  };
  ASSERT_TRUE(
      waitFor([&] { return program.relayCalls("user32.UnhookWindowsHookEx").size() == 2; }));
  ASSERT_GE(sequence.size(), expected.size());
  sequence.resize(expected.size());
  EXPECT_EQ(sequence, expected);
  EXPECT_TRUE(program.exit());
}

TEST(SwitchOff, EachSwitchOffReadsTheStoredHoldAgain) {
  TempFolder folder(L"holds");
  Program program(folder.install(), true);
  program.mainWindow();
  const struct {
    const wchar_t* stored;
    unsigned long long ms;
    bool fromMenu;
  } cases[] = {{L"0.5", 500, false}, {L"2.5", 2500, true}, {L"25", 3000, false}, {L"x", 0, true}};
  StoredHold stored;
  std::size_t n = 0;
  for (const auto& c : cases) {
    stored.set(c.stored);
    if (c.fromMenu) {
      program.chooseCommand(command::kSwitchOff);
    } else {
      program.notifyIcon(WM_LBUTTONUP);
    }
    Hold hold;
    ASSERT_TRUE(waitFor([&] { return holdEnded(program, n, hold); }));
    EXPECT_EQ(hold.milliseconds, c.ms)
        << "stored " << std::string(c.stored, c.stored + wcslen(c.stored));
    std::printf("hold %5llu ms set, input blocked %7.1f ms (Sleep call to unblock)\n", c.ms,
                (hold.unblocked - hold.slept) * 1000);
    ++n;
  }
  EXPECT_TRUE(program.exit());
}

TEST(SwitchOff, KeysTypedDuringTheHoldNeverArrive) {
  StoredHold stored(L"3");
  TempFolder folder(L"typing");
  Program program(folder.install(), true);
  program.mainWindow();
  TypingTarget target;
  ASSERT_TRUE(target.type(L"ok"));
  ASSERT_TRUE(waitFor([&] { return target.text() == L"ok"; }))
      << "typed keys do not reach the target even without a hold";

  program.notifyIcon(WM_LBUTTONUP);
  ASSERT_TRUE(waitFor([&] { return program.relayCalls("user32.SetWindowsHookExW").size() == 2; }));
  ASSERT_TRUE(target.type(L"held"));
  Hold hold;
  ASSERT_TRUE(waitFor([&] { return holdEnded(program, 0, hold); }));
  EXPECT_EQ(hold.milliseconds, 3000u);
  ASSERT_TRUE(
      waitFor([&] { return program.relayCalls("user32.UnhookWindowsHookEx").size() == 2; }));

  ASSERT_TRUE(target.type(L"after"));
  waitFor([&] { return target.text().size() >= 7; }, std::chrono::seconds(5));
  const std::wstring typed = target.text();
  EXPECT_EQ(std::string(typed.begin(), typed.end()), "okafter");
  EXPECT_TRUE(program.exit());
}

}  // namespace
}  // namespace e2e
