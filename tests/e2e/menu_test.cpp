// The command menu: opened by the icon's right-button release, driven with the
// keyboard as a user would, and dismissed.
#include <gtest/gtest.h>

#include "harness.h"

namespace e2e {
namespace {

// The open popup menu of a program: a window of the menu class.
HWND openPopup(const Program& program) {
  for (HWND window : windowsOf(program.pid(), L"#32768")) {
    if (IsWindowVisible(window)) return window;
  }
  return nullptr;
}

// Opens the popup and chooses the entry at a position (0 is "Switch Off"; the
// separator is skipped by the keyboard); -1 presses Escape instead.
void chooseByKeyboard(Program& program, int position) {
  program.notifyIcon(WM_RBUTTONUP);
  HWND popup = nullptr;
  ASSERT_TRUE(waitFor([&] { return (popup = openPopup(program)) != nullptr; }));
  if (position < 0) {
    PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
  } else {
    for (int i = 0; i <= position; ++i) PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);
  }
  ASSERT_TRUE(waitFor([&] { return openPopup(program) == nullptr; }));
}

TEST(Menu, OpensInTheForegroundAtThePointer) {
  TempFolder folder(L"menu");
  Program program(folder.install(), true);
  HWND window = program.mainWindow();
  SetCursorPos(300, 200);
  program.notifyIcon(WM_RBUTTONUP);
  HWND popup = nullptr;
  ASSERT_TRUE(waitFor([&] { return (popup = openPopup(program)) != nullptr; }));
  RECT rect{};
  GetWindowRect(popup, &rect);
  EXPECT_EQ(rect.left, 300);
  EXPECT_EQ(rect.top, 200);

  const auto foreground = program.relayCalls("user32.SetForegroundWindow");
  const auto track = program.relayCalls("user32.TrackPopupMenu");
  ASSERT_EQ(foreground.size(), 1u);
  ASSERT_EQ(track.size(), 1u);
  EXPECT_EQ(reinterpret_cast<HWND>(foreground[0].args.at(0)), window);
  EXPECT_LT(foreground[0].time, track[0].time);
  EXPECT_EQ(track[0].args.at(1), 0u) << "no placement flags";
  EXPECT_EQ(reinterpret_cast<HWND>(track[0].args.at(5)), window);

  PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_TRUE(waitFor([&] { return openPopup(program) == nullptr; }));
  // Once the menu is closed its owner gets a WM_NULL, so the next click on
  // the icon opens the menu again at once.
  ASSERT_TRUE(waitFor([&] { return !program.relayCalls("user32.PostMessageW").empty(); }));
  const auto post = program.relayCalls("user32.PostMessageW");
  EXPECT_EQ(reinterpret_cast<HWND>(post[0].args.at(0)), window);
  EXPECT_EQ(post[0].args.at(1), static_cast<unsigned long long>(WM_NULL));
  EXPECT_GT(post[0].time, track[0].time);
  EXPECT_TRUE(program.exit());
}

TEST(Menu, CloseAndEscapeChangeNothing) {
  TempFolder folder(L"menu close");
  Program program(folder.install(), true);
  program.mainWindow();
  chooseByKeyboard(program, 4);  // Close
  chooseByKeyboard(program, -1);
  // The menu still opens afterwards, and nothing else happened.
  chooseByKeyboard(program, -1);
  EXPECT_TRUE(program.running());
  EXPECT_EQ(program.relayCalls("user32.SendMessageW").size(), 0u);
  EXPECT_EQ(program.relayCalls("user32.DestroyWindow").size(), 0u);
  EXPECT_EQ(program.relayCalls("shell32.Shell_NotifyIconW").size(), 1u);
  EXPECT_EQ(program.relayCalls("user32.TrackPopupMenu").size(), 3u);
  EXPECT_TRUE(program.exit());
}

TEST(Menu, ClickingElsewhereClosesItAndRunsNothing) {
  TempFolder folder(L"menu click");
  Program program(folder.install(), true);
  program.mainWindow();
  TypingTarget elsewhere;
  SetCursorPos(700, 500);
  program.notifyIcon(WM_RBUTTONUP);
  ASSERT_TRUE(waitFor([&] { return openPopup(program) != nullptr; }));
  runUnix(L"/usr/bin/xdotool mousemove 100 80 click 1");
  EXPECT_TRUE(waitFor([&] { return openPopup(program) == nullptr; }, std::chrono::seconds(5)));
  EXPECT_TRUE(program.running());
  EXPECT_EQ(program.relayCalls("user32.SendMessageW").size(), 0u);
  EXPECT_TRUE(program.exit());
}

TEST(Menu, SwitchOffIsTheSameAsALeftClick) {
  StoredHold stored(L"0.25");
  TempFolder folder(L"menu switch off");
  Program program(folder.install(), true);
  HWND window = program.mainWindow();
  chooseByKeyboard(program, 0);
  ASSERT_TRUE(waitFor([&] { return program.relayCalls("kernel32.Sleep").size() == 1; }));
  const auto send = program.relayCalls("user32.SendMessageW");
  ASSERT_EQ(send.size(), 1u);
  EXPECT_EQ(reinterpret_cast<HWND>(send[0].args.at(0)), window);
  EXPECT_EQ(send[0].args.at(1), 0x112u);
  EXPECT_EQ(send[0].args.at(2), 0xF170u);
  EXPECT_EQ(send[0].args.at(3), 2u);
  EXPECT_EQ(program.relayCalls("kernel32.Sleep")[0].args.at(0), 250u);
  EXPECT_TRUE(program.exit());
}

TEST(Menu, ExitRemovesTheIconBeforeAnyWindowGoesAndEnds) {
  TempFolder folder(L"menu exit");
  Program program(folder.install(), true);
  program.mainWindow();
  chooseByKeyboard(program, 5);  // Exit
  ASSERT_TRUE(program.waitForExit(std::chrono::seconds(30)));
  const auto icon = program.relayCalls("shell32.Shell_NotifyIconW");
  const auto destroy = program.relayCalls("user32.DestroyWindow");
  ASSERT_EQ(icon.size(), 2u);
  EXPECT_EQ(icon[1].args.at(0), static_cast<unsigned long long>(NIM_DELETE));
  ASSERT_FALSE(destroy.empty());
  EXPECT_LT(icon[1].time, destroy[0].time);
  DWORD code = 1;
  GetExitCodeProcess(program.process(), &code);
  EXPECT_EQ(code, 0u);
}

}  // namespace
}  // namespace e2e
