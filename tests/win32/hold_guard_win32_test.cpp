// The hold guard's window and thread against the real window manager. Wine's
// power manager reports nothing, so the display's state is reported by hand,
// as Windows would send it to a window registered for it.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/win32/hold_guard_win32.h"
#include "power/hold_guard.h"

namespace {

using platform::win32::Win32HoldGuard;

std::atomic<int> powerDowns{0};
std::atomic<WNDPROC> guardProc{nullptr};

// Sits in front of the guard's window procedure and counts the power-downs
// that reach it.
LRESULT CALLBACK counting(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MONITORPOWER && lParam == 2) {
    ++powerDowns;
  }
  return CallWindowProcW(guardProc.load(), hwnd, message, wParam, lParam);
}

void reportDisplay(HWND window, DWORD state) {
  struct {
    POWERBROADCAST_SETTING setting;
    DWORD rest;  // the DWORD state overruns the one-byte Data field
  } report{};
  report.setting.PowerSetting = {
      0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
  report.setting.DataLength = sizeof(DWORD);
  CopyMemory(report.setting.Data, &state, sizeof state);
  SendMessageW(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE,
               reinterpret_cast<LPARAM>(&report.setting));
}

bool powerDownsReach(int count) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (powerDowns < count && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return powerDowns == count;
}

TEST(HoldGuardWindow, ADisplayReportedOnOrDimmedDuringTheHoldIsPoweredDownAgain) {
  power::HoldGuardRule rule;
  Win32HoldGuard guard(rule);
  ASSERT_EQ(FindWindowW(Win32HoldGuard::kWindowClass, nullptr), nullptr);
  guard.start();
  HWND window = FindWindowW(Win32HoldGuard::kWindowClass, nullptr);
  ASSERT_NE(window, nullptr) << "the guard's window exists while the hold runs";
  guardProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&counting)));

  reportDisplay(window, 1);  // on
  EXPECT_TRUE(powerDownsReach(1));
  reportDisplay(window, 0);  // off: nothing to do
  reportDisplay(window, 2);  // dimmed, within the interval: once it is over
  EXPECT_TRUE(powerDownsReach(2));
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  EXPECT_EQ(powerDowns, 2) << "one report, one power-down";

  guard.noteInput();  // what the hooks do at every event
  EXPECT_TRUE(powerDownsReach(3));

  guard.stop();
  EXPECT_EQ(FindWindowW(Win32HoldGuard::kWindowClass, nullptr), nullptr)
      << "nothing of the guard outlives the hold";
}

}  // namespace
