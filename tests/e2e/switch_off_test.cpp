// The switch-off and its input hold, seen from outside.
#include <gtest/gtest.h>

#include "harness.h"

namespace e2e {
namespace {

// The switch-off's calls, one word each, in order: the power-down sent to
// Form1, and the input hold on that thread and on the hooks' thread. Other
// threads may make calls of their own in between.
std::string switchOffCalls(Program& program) {
  const auto form1 = reinterpret_cast<std::uintptr_t>(program.mainWindow());
  std::string words;
  unsigned long thread = 0;
  for (const RelayCall& call :
       program.calls({"user32.SendMessageW", "user32.BlockInput", "kernel32.Sleep",
                      "user32.SetWindowsHookExW", "user32.UnhookWindowsHookEx"})) {
    const std::string& f = call.function;
    const unsigned long long first = call.args.at(0);
    if (f == "user32.SendMessageW" && first == form1 && call.args.at(1) == WM_SYSCOMMAND &&
        call.args.at(2) == SC_MONITORPOWER && call.args.at(3) == 2) {
      thread = call.thread;
      words += "power ";
    } else if (f == "user32.BlockInput" && call.thread == thread) {
      words += first != 0 ? "block " : "unblock ";
    } else if (f == "kernel32.Sleep" && call.thread == thread) {
      words += "sleep" + std::to_string(first) + " ";
    } else if (f == "user32.SetWindowsHookExW") {
      words += "hook" + std::to_string(first) + " ";
    } else if (f == "user32.UnhookWindowsHookEx") {
      words += "unhook ";
    }
  }
  return words;
}

// Under Wine BlockInput fails, as it does for an ordinary user on Windows: the
// low-level keyboard and mouse hooks go in instead and come out after it.
std::string hold(int milliseconds) {
  return "block hook13 hook14 sleep" + std::to_string(milliseconds) + " unblock unhook unhook ";
}

TEST(SwitchOff, PowersDownFormOneThenHoldsThroughHooks) {
  StoredHold absent;
  TempFolder folder(L"switch off");
  Program program(folder.install());
  program.notifyIcon(WM_LBUTTONUP);
  ASSERT_TRUE(waitFor([&] { return program.calls("user32.UnhookWindowsHookEx").size() == 2; }));
  EXPECT_EQ(switchOffCalls(program), "power " + hold(0));
  EXPECT_TRUE(program.exit());
}

TEST(SwitchOff, QueuedClicksHoldInTurnAndTypedKeysNeverArrive) {
  StoredHold stored(L"3");
  TempFolder folder(L"typing");
  Program program(folder.install());
  HWND window = program.mainWindow();
  TypingTarget target;
  ASSERT_TRUE(target.type(L"ok"));
  ASSERT_TRUE(waitFor([&] { return target.text() == L"ok"; })) << "keys arrive without a hold";

  // Two more releases wait in the queue while the first hold lasts. The second
  // dispatches the third, whose whole hold comes before its own block.
  program.notifyIcon(WM_LBUTTONUP);
  ASSERT_TRUE(waitFor([&] { return program.calls("kernel32.Sleep").size() == 1; }));
  stored.set(L"0.25");
  program.notifyIcon(WM_LBUTTONUP);
  program.notifyIcon(WM_LBUTTONUP);
  PostMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  ASSERT_TRUE(target.type(L"held"));
  ASSERT_TRUE(waitFor([&] { return program.calls("user32.UnhookWindowsHookEx").size() == 6; }));
  EXPECT_EQ(switchOffCalls(program),
            "power " + hold(3000) + "power power " + hold(250) + hold(250));
  ASSERT_TRUE(target.type(L"after"));
  waitFor([&] { return target.text().size() >= 7; }, std::chrono::seconds(5));
  EXPECT_EQ(target.text(), L"okafter");
  // The notification area that came during the hold got the icon once.
  EXPECT_EQ(program.count("shell32.Shell_NotifyIconW", NIM_ADD), 2u);
  EXPECT_TRUE(program.exit());
}

TEST(SwitchOff, EndedFromOutsideDuringAHoldInputFlowsAtOnce) {
  StoredHold stored(L"10");
  TempFolder folder(L"terminated");
  Program program(folder.install());
  program.mainWindow();
  TypingTarget target;
  program.notifyIcon(WM_LBUTTONUP);
  ASSERT_TRUE(waitFor([&] { return program.calls("user32.SetWindowsHookExW").size() == 2; }));
  program.kill();
  ASSERT_TRUE(target.type(L"free"));
  // Well inside the ten seconds the hold would have lasted.
  EXPECT_TRUE(waitFor([&] { return target.text() == L"free"; }, std::chrono::seconds(3)));
}

}  // namespace
}  // namespace e2e
