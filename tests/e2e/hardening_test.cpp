// Bad data and faults from outside: whatever "Holdit" holds, however the
// program is interrupted, input flows again and the icon stays reachable.
#include <gtest/gtest.h>

#include "harness.h"

namespace e2e {
namespace {

std::vector<BYTE> utf16(const std::wstring& text, bool terminated = true) {
  const BYTE* bytes = reinterpret_cast<const BYTE*>(text.c_str());
  return std::vector<BYTE>(bytes, bytes + (text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
}

TEST(Hardening, EveryShapeOfHolditGivesAHoldWithinTenSeconds) {
  const DWORD three = 3;
  const unsigned long long seven = 7;
  std::vector<BYTE> odd = utf16(L"5", false);
  odd.push_back('9');
  const struct {
    const char* what;
    DWORD type;
    std::vector<BYTE> data;
    unsigned long long ms;
  } cases[] = {
      {"REG_BINARY", REG_BINARY, {'5', 0, 0, 0}, 0},
      {"REG_MULTI_SZ", REG_MULTI_SZ, utf16(std::wstring(L"5\0", 2)), 0},
      {"REG_EXPAND_SZ", REG_EXPAND_SZ, utf16(L"5"), 0},
      {"REG_QWORD", REG_QWORD,
       std::vector<BYTE>(reinterpret_cast<const BYTE*>(&seven),
                         reinterpret_cast<const BYTE*>(&seven) + 8),
       0},
      {"REG_DWORD", REG_DWORD,
       std::vector<BYTE>(reinterpret_cast<const BYTE*>(&three),
                         reinterpret_cast<const BYTE*>(&three) + 4),
       3000},
      {"zero bytes", REG_SZ, {}, 0},
      {"an odd byte count", REG_SZ, odd, 5000},
      {"no terminator", REG_SZ, utf16(L"0.25", false), 250},
      {"1 MB of digits", REG_SZ, utf16(std::wstring(1 << 19, L'1')), 3000},
      {"100 000 blanks, then a digit", REG_SZ, utf16(std::wstring(100000, L' ') + L"4"), 4000},
  };
  StoredHold stored;
  TempFolder folder(L"holdit shapes");
  Program program(folder.install(), true);
  program.mainWindow();
  std::size_t n = 0;
  for (const auto& c : cases) {
    stored.setRaw(c.type, c.data);
    program.notifyIcon(WM_LBUTTONUP);
    ++n;
    ASSERT_TRUE(waitFor([&] { return program.endedHolds().size() == n; })) << c.what;
    EXPECT_EQ(program.endedHolds().back().milliseconds, c.ms) << c.what;
    EXPECT_TRUE(program.running()) << c.what;
  }
  EXPECT_TRUE(program.exit());
}

TEST(Hardening, EndedFromOutsideDuringAHoldInputFlowsAtOnce) {
  StoredHold stored(L"10");
  TempFolder folder(L"terminated");
  Program program(folder.install(), true);
  program.mainWindow();
  TypingTarget target;
  program.notifyIcon(WM_LBUTTONUP);
  ASSERT_TRUE(waitFor([&] { return program.relayCalls("user32.SetWindowsHookExW").size() == 2; }));
  program.kill();
  ASSERT_TRUE(target.type(L"free"));
  // Well inside the ten seconds the hold would have lasted.
  EXPECT_TRUE(waitFor([&] { return target.text() == L"free"; }, std::chrono::seconds(3)));
}

TEST(Hardening, TwoQuickSwitchOffsHoldOneAfterTheOther) {
  StoredHold stored(L"0.5");
  TempFolder folder(L"twice quickly");
  Program program(folder.install(), true);
  program.mainWindow();
  TypingTarget target;
  // The second release waits in the queue while the first one powers down.
  program.notifyIcon(WM_LBUTTONUP);
  program.notifyIcon(WM_LBUTTONUP);
  ASSERT_TRUE(waitFor([&] { return program.endedHolds().size() == 2; }));
  const auto holds = program.endedHolds();
  EXPECT_EQ(holds[0].milliseconds, 500u);
  EXPECT_EQ(holds[1].milliseconds, 500u);
  EXPECT_EQ(program.relayCalls("kernel32.Sleep").size(), 2u);
  ASSERT_TRUE(
      waitFor([&] { return program.relayCalls("user32.UnhookWindowsHookEx").size() == 4; }));
  ASSERT_TRUE(target.type(L"free"));
  EXPECT_TRUE(waitFor([&] { return target.text() == L"free"; }, std::chrono::seconds(5)));
  EXPECT_TRUE(program.exit());
}

TEST(Hardening, TaskbarCreatedDuringTheDialogAndDuringAHoldAddsTheIconOnce) {
  StoredHold stored(L"1");
  TempFolder folder(L"explorer restarted");
  Program program(folder.install(), true);
  HWND window = program.mainWindow();
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  ASSERT_TRUE(
      waitFor([&] { return program.callCount("shell32.Shell_NotifyIconW", NIM_ADD) == 1; }));

  program.chooseCommand(command::kAntiShake);
  ASSERT_TRUE(waitFor([&] { return !windowsOf(program.pid(), L"TenebroliteDialog").empty(); }));
  PostMessageW(window, taskbarCreated, 0, 0);
  ASSERT_TRUE(
      waitFor([&] { return program.callCount("shell32.Shell_NotifyIconW", NIM_ADD) == 2; }));

  program.notifyIcon(WM_LBUTTONUP);
  ASSERT_TRUE(waitFor([&] { return program.relayCalls("kernel32.Sleep").size() == 1; }));
  PostMessageW(window, taskbarCreated, 0, 0);
  ASSERT_TRUE(
      waitFor([&] { return program.callCount("shell32.Shell_NotifyIconW", NIM_ADD) == 3; }));
  SendMessageW(window, WM_NULL, 0, 0);
  EXPECT_EQ(program.callCount("shell32.Shell_NotifyIconW", NIM_ADD), 3u);
  EXPECT_TRUE(program.exit());
}

TEST(Hardening, TwoInstancesEachHaveAnIconAndExitIndependently) {
  TempFolder folder(L"two instances");
  const std::wstring exe = folder.install();
  Program one(exe, true);
  Program two(exe, true);
  one.mainWindow();
  two.mainWindow();
  ASSERT_TRUE(waitFor([&] { return one.callCount("shell32.Shell_NotifyIconW", NIM_ADD) == 1; }));
  ASSERT_TRUE(waitFor([&] { return two.callCount("shell32.Shell_NotifyIconW", NIM_ADD) == 1; }));
  EXPECT_EQ(reg::text(kRunKey, L"Tenebrolite"), L"\"" + exe + L"\"");
  EXPECT_TRUE(one.exit());
  EXPECT_EQ(one.callCount("shell32.Shell_NotifyIconW", NIM_DELETE), 1u);
  EXPECT_EQ(two.callCount("shell32.Shell_NotifyIconW", NIM_DELETE), 0u);
  EXPECT_TRUE(two.running());
  EXPECT_TRUE(two.exit());
}

}  // namespace
}  // namespace e2e
