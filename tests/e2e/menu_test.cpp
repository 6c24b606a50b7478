// The command menu: opened by the icon's right-button release, driven with the
// keyboard as a user would, and dismissed.
#include <gtest/gtest.h>

#include "harness.h"

namespace e2e {
namespace {

// The open popup menu of a program: a visible window of the menu class.
HWND openPopup(const Program& program) {
  for (HWND window : windowsOf(program.pid(), L"#32768")) {
    if (IsWindowVisible(window)) return window;
  }
  return nullptr;
}

// Opens the popup and, unless told nothing, presses keys in it until it
// closes: the entry at a place (the keyboard skips the separator), or Escape.
HWND openAndChoose(Program& program, std::optional<int> place) {
  program.notifyIcon(WM_RBUTTONUP);
  HWND popup = nullptr;
  EXPECT_TRUE(waitFor([&] { return (popup = openPopup(program)) != nullptr; }));
  if (!place) return popup;
  for (int i = 0; i <= *place; ++i) PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(popup, WM_KEYDOWN, *place < 0 ? VK_ESCAPE : VK_RETURN, 0);
  EXPECT_TRUE(waitFor([&] { return openPopup(program) == nullptr; }));
  return popup;
}

TEST(Menu, OpensInTheForegroundAtThePointerAndRunsTheChosenEntry) {
  StoredHold stored(L"0.25");
  TempFolder folder(L"menu");
  Program program(folder.install());
  const auto form1 = reinterpret_cast<std::uintptr_t>(program.mainWindow());
  TypingTarget elsewhere;
  SetCursorPos(300, 200);
  RECT rect{};
  GetWindowRect(openAndChoose(program, std::nullopt), &rect);
  EXPECT_EQ(std::pair(rect.left, rect.top), std::pair(300L, 200L));
  // A click elsewhere closes it.
  runUnix(L"xdotool mousemove 100 80 click 1");
  ASSERT_TRUE(waitFor([&] { return openPopup(program) == nullptr; }, std::chrono::seconds(5)));
  // Form1 comes to the foreground before the popup is tracked, with no
  // placement flags, and gets a WM_NULL once it has closed.
  std::string order;
  for (const RelayCall& call : program.calls(
           {"user32.SetForegroundWindow", "user32.TrackPopupMenu", "user32.PostMessageW"})) {
    const auto& a = call.args;
    if (call.function == "user32.SetForegroundWindow" && a.at(0) == form1) order += "front ";
    if (call.function == "user32.TrackPopupMenu" && a.at(1) == 0 && a.at(5) == form1)
      order += "track ";
    if (call.function == "user32.PostMessageW" && a.at(0) == form1 && a.at(1) == WM_NULL)
      order += "null ";
  }
  EXPECT_EQ(order, "front track null ");

  // Escape and Close do nothing; Switch Off switches off.
  openAndChoose(program, -1);
  openAndChoose(program, 4);
  openAndChoose(program, 0);
  ASSERT_TRUE(waitFor([&] { return !program.endedHolds().empty(); }));
  EXPECT_EQ(program.endedHolds(), std::vector<unsigned long long>{250});
  // Exit: the icon goes before any window does, and the program ends.
  openAndChoose(program, 5);
  ASSERT_TRUE(program.waitForExit());
  const auto ends = program.calls({"shell32.Shell_NotifyIconW", "user32.DestroyWindow"});
  ASSERT_EQ(ends.size(), 3u);
  EXPECT_EQ(ends[1].function, "shell32.Shell_NotifyIconW");
  EXPECT_EQ(ends[1].args.at(0), static_cast<unsigned long long>(NIM_DELETE));
  EXPECT_EQ(program.exitCode(), 0u);
}

}  // namespace
}  // namespace e2e
