// Start-up, the hidden window and the notification icon, seen from outside.
#include <gtest/gtest.h>

#include "harness.h"
#include "settings/catalogue.h"

namespace e2e {
namespace {

TEST(Startup, TwoCopiesSideBySideEachWithItsIcon) {
  auto wide = [](std::u16string_view text) { return std::wstring(text.begin(), text.end()); };
  for (const auto& [name, data] : settings::kFixedValues) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey.c_str(), wide(name).c_str(), REG_SZ, L"x", 4);
  }
  StoredHold absent;
  TempFolder first(L"first"), second(L"a renamed copy");
  Program one(first.install());
  HWND window = one.mainWindow();
  EXPECT_EQ(windowText(window), L"Tenebrolite");
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(GetAncestor(window, GA_PARENT), GetDesktopWindow()) << "top-level";
  ASSERT_TRUE(waitFor([&] { return one.count("shell32.Shell_NotifyIconW", NIM_ADD) == 1; }));

  // Each start writes the values again, and the autostart of the copy started
  // last, quoted: its path has blanks.
  const std::wstring renamed = second.install(L"Renamed.exe");
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
    sizes.push_back(call.args.at(5));
  EXPECT_EQ(sizes, expected);
  ASSERT_TRUE(two.exit());
  EXPECT_EQ(one.count("shell32.Shell_NotifyIconW", NIM_DELETE), 0u);

  // What the icon ignores does nothing; a new display scale changes the
  // icon's picture; the shell's news of a new notification area brings the
  // icon back.
  for (UINT ignored : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN,
                       WM_MBUTTONDOWN, WM_MBUTTONUP, WM_RBUTTONDBLCLK, 0x20C}) {
    one.notifyIcon(ignored);
  }
  PostMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), 0);
  PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  ASSERT_TRUE(waitFor([&] { return one.count("shell32.Shell_NotifyIconW", NIM_ADD) == 2; }));
  EXPECT_EQ(one.count("shell32.Shell_NotifyIconW", NIM_MODIFY), 1u);
  EXPECT_TRUE(one.calls({"user32.BlockInput", "user32.TrackPopupMenu"}).empty());
  EXPECT_TRUE(one.exit());
}

}  // namespace
}  // namespace e2e
