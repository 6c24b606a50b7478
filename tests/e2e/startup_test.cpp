// Start-up, the hidden window and the notification icon, seen from outside.
#include <gtest/gtest.h>

#include "harness.h"
#include "settings/catalogue.h"

namespace e2e {
namespace {

TEST(Startup, TwoCopiesSideBySideEachWithItsIcon) {
  for (const auto& value : settings::kFixedValues) {
    reg::setText(kSettingsKey, std::wstring(value.name.begin(), value.name.end()), L"earlier");
  }
  StoredHold absent;
  TempFolder first(L"first"), second(L"a renamed copy");
  Program one(first.install());
  HWND window = one.mainWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(windowText(window), L"Tenebrolite");
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(GetParent(window), nullptr);
  ASSERT_TRUE(waitFor([&] { return one.count("shell32.Shell_NotifyIconW", NIM_ADD) == 1; }));

  // The autostart follows the copy started last, quoted: its path has blanks.
  const std::wstring renamed = second.install(L"Renamed.exe");
  Program two(renamed);
  ASSERT_NE(two.mainWindow(), window);
  ASSERT_TRUE(waitFor([&] { return two.count("shell32.Shell_NotifyIconW", NIM_ADD) == 1; }));
  EXPECT_EQ(reg::text(kRunKey, L"Tenebrolite"), L"\"" + renamed + L"\"");
  for (const auto& value : settings::kFixedValues) {
    const std::wstring name(value.name.begin(), value.name.end());
    EXPECT_EQ(reg::text(kSettingsKey, name), std::wstring(value.data.begin(), value.data.end()));
  }
  EXPECT_EQ(reg::text(kSettingsKey, L"Holdit"), L"<absent>");
  ASSERT_TRUE(two.exit());
  EXPECT_EQ(one.count("shell32.Shell_NotifyIconW", NIM_DELETE), 0u);

  // What the icon ignores does nothing; a new display scale changes the
  // icon's picture; a new notification area gets the icon again.
  for (UINT ignored : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN,
                       WM_MBUTTONDOWN, WM_MBUTTONUP, WM_RBUTTONDBLCLK, 0x20C}) {
    one.notifyIcon(ignored);
  }
  PostMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), 0);
  PostMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  ASSERT_TRUE(waitFor([&] { return one.count("shell32.Shell_NotifyIconW", NIM_ADD) == 2; }));
  EXPECT_EQ(one.count("shell32.Shell_NotifyIconW", NIM_MODIFY), 1u);
  EXPECT_TRUE(one.calls("user32.BlockInput").empty()) << "no switch-off";
  EXPECT_TRUE(one.calls("user32.TrackPopupMenu").empty()) << "no menu";
  EXPECT_TRUE(one.exit());
}

}  // namespace
}  // namespace e2e
