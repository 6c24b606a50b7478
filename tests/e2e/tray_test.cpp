// The hidden window, its notification icon and the command menu, seen from outside.
#include <gtest/gtest.h>

#include "harness.h"
#include "settings/catalogue.h"

namespace e2e {
namespace {

TEST(Startup, TwoCopiesSideBySideEachWithItsIcon) {
  for (const auto& [name, data] : settings::kFixedValues) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey.c_str(), wide(name).c_str(), REG_SZ, L"x", 4);
  }
  StoredHold absent;
  Program one(install(L"first"));
  HWND window = one.mainWindow();
  EXPECT_EQ(windowText(window), L"Tenebrolite");
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(GetAncestor(window, GA_PARENT), GetDesktopWindow()) << "top-level";
  ASSERT_TRUE(waitFor([&] { return one.count("shell32.Shell_NotifyIconW", NIM_ADD) == 1; }));
  // "TaskbarCreated" is let through from Explorer's lower integrity level,
  // for a run as administrator.
  const auto filter = one.calls("user32.ChangeWindowMessageFilterEx");
  ASSERT_EQ(filter.size(), 1u);
  EXPECT_EQ(filter[0].args.at(0), reinterpret_cast<std::uintptr_t>(window));
  EXPECT_EQ(filter[0].args.at(1) & 0xFFFFFFFF, RegisterWindowMessageW(L"TaskbarCreated"));
  EXPECT_EQ(filter[0].args.at(2) & 0xFFFFFFFF, static_cast<unsigned>(MSGFLT_ALLOW));

  // Each start writes the values again, and the quoted autostart of its copy.
  const std::wstring renamed = install(L"a renamed copy", L"Renamed.exe");
  Program two(renamed);
  ASSERT_NE(two.mainWindow(), window);
  ASSERT_TRUE(waitFor([&] { return two.count("shell32.Shell_NotifyIconW", NIM_ADD) == 1; }));
  EXPECT_EQ(storedText(wide(settings::kRunKeyPath), L"Tenebrolite"), L"\"" + renamed + L"\"");
  for (const auto& [name, data] : settings::kFixedValues) {
    EXPECT_EQ(storedText(kSettingsKey, wide(name)), wide(data));
  }
  EXPECT_EQ(storedText(kSettingsKey, L"Holdit"), L"<absent>");
  // Each text goes to the registry with one terminator: the registry itself
  // would add a missing one whenever the memory after it happens to hold one.
  std::vector<unsigned long long> sizes, expected;
  for (const auto& [name, data] : settings::kFixedValues) expected.push_back((data.size() + 1) * 2);
  expected.push_back((renamed.size() + 3) * 2);
  for (const RelayCall& call : two.calls("advapi32.RegSetValueExW"))
    sizes.push_back(call.args.at(5) & 0xFFFFFFFF);  // a DWORD in a 64-bit register
  EXPECT_EQ(sizes, expected);
  ASSERT_TRUE(two.exit());
  EXPECT_EQ(one.count("shell32.Shell_NotifyIconW", NIM_DELETE), 0u);

  // A new display scale changes the icon's picture; a new notification area gets it again.
  PostMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), 0);
  PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  ASSERT_TRUE(waitFor([&] { return one.count("shell32.Shell_NotifyIconW", NIM_ADD) == 2; }));
  EXPECT_EQ(one.count("shell32.Shell_NotifyIconW", NIM_MODIFY), 1u);
  EXPECT_TRUE(one.exit());
}

// The open popup menu of a program: a visible window of the menu class.
HWND openPopup(const Program& program) {
  for (HWND window : windowsOf(program.pid(), L"#32768")) {
    if (IsWindowVisible(window)) return window;
  }
  return nullptr;
}

// Opens the popup and chooses the entry at a place by keyboard (-1: Escape).
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
  Program program(install(L"menu"));
  const auto form1 = reinterpret_cast<std::uintptr_t>(program.mainWindow());
  TypingTarget elsewhere;
  SetCursorPos(300, 200);
  RECT rect{};
  GetWindowRect(openAndChoose(program, std::nullopt), &rect);
  EXPECT_EQ(std::pair(rect.left, rect.top), std::pair(300L, 200L));
  // A click elsewhere closes it.
  runUnix(L"xdotool mousemove 100 80 click 1");
  ASSERT_TRUE(waitFor([&] { return openPopup(program) == nullptr; }, std::chrono::seconds(5)));
  // Form1 comes to the front, the popup has no placement flags, a WM_NULL follows.
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
  ASSERT_TRUE(waitFor([&] { return !program.calls("kernel32.Sleep").empty(); }));
  EXPECT_EQ(program.calls("kernel32.Sleep").size(), 1u) << "Escape and Close run nothing";
  EXPECT_EQ(program.calls("kernel32.Sleep")[0].args.at(0), 250u);
  // Exit: the icon goes before any window does, and the program ends.
  openAndChoose(program, 5);
  ASSERT_EQ(program.waitForExit(), 0u);
  std::vector<RelayCall> ends;  // the hold guard's window went with its hold
  for (const RelayCall& call : program.calls({"shell32.Shell_NotifyIconW", "user32.DestroyWindow"}))
    if (call.function != "user32.DestroyWindow" || call.args.at(0) == form1) ends.push_back(call);
  ASSERT_EQ(ends.size(), 3u);
  EXPECT_EQ(ends[1].function, "shell32.Shell_NotifyIconW");
  EXPECT_EQ(ends[1].args.at(0), static_cast<unsigned long long>(NIM_DELETE));
}

}  // namespace
}  // namespace e2e
