// Start-up, the hidden window and the notification icon, seen from outside.
#include <gtest/gtest.h>

#include "harness.h"

namespace e2e {
namespace {

std::size_t iconAdds(const Program& program) {
  return program.callCount("shell32.Shell_NotifyIconW", NIM_ADD);
}

TEST(Startup, FirstStartCreatesTheSettingsAndTheAutostart) {
  reg::deleteTree(kVendorKey);
  reg::deleteValue(kRunKey, L"Tenebrolite");
  TempFolder folder(L"first start");
  const std::wstring exe = folder.install();

  Program program(exe, false);
  ASSERT_NE(program.mainWindow(), nullptr);

  EXPECT_TRUE(reg::keyExists(kVendorKey));
  const struct {
    const wchar_t* name;
    const wchar_t* data;
  } fixed[] = {{L"SitL", L" 0"}, {L"SitT", L" 0"}, {L"BKColr", L"&H00C0C0C0"}, {L"Btn", L"1"}};
  for (const auto& value : fixed) {
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(reg::raw(kSettingsKey, value.name, type, data)) << value.name;
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data.size(), (wcslen(value.data) + 1) * sizeof(wchar_t)) << value.name;
    EXPECT_EQ(reg::text(kSettingsKey, value.name), value.data);
  }
  EXPECT_EQ(reg::valueNames(kSettingsKey).size(), 4u) << "no Holdit is written";
  EXPECT_EQ(reg::text(kRunKey, L"Tenebrolite"), L"\"" + exe + L"\"");
  EXPECT_TRUE(program.exit());
}

TEST(Startup, EveryStartRewritesTheValuesAndFollowsAMovedExe) {
  reg::setText(kSettingsKey, L"SitL", L"100");
  reg::setText(kSettingsKey, L"SitT", L"-3");
  reg::setText(kSettingsKey, L"BKColr", L"&H00FF0000");
  reg::setText(kSettingsKey, L"Btn", L"0");
  TempFolder first(L"before");
  TempFolder second(L"after the move");
  {
    Program program(first.install(), false);
    program.mainWindow();
    EXPECT_TRUE(program.exit());
  }
  const std::wstring moved = second.install(L"Renamed.exe");
  Program program(moved, false);
  program.mainWindow();
  EXPECT_EQ(reg::text(kSettingsKey, L"SitL"), L" 0");
  EXPECT_EQ(reg::text(kSettingsKey, L"SitT"), L" 0");
  EXPECT_EQ(reg::text(kSettingsKey, L"BKColr"), L"&H00C0C0C0");
  EXPECT_EQ(reg::text(kSettingsKey, L"Btn"), L"1");
  // Replaced under the same name, not added beside the old one.
  EXPECT_EQ(reg::text(kRunKey, L"Tenebrolite"), L"\"" + moved + L"\"");
  int ours = 0;
  for (const std::wstring& name : reg::valueNames(kRunKey)) {
    if (reg::text(kRunKey, name).find(L"tenebrolite e2e") != std::wstring::npos) ++ours;
  }
  EXPECT_EQ(ours, 1);
  EXPECT_TRUE(program.exit());
}

TEST(Startup, HiddenWindowAndOneIcon) {
  TempFolder folder(L"icon");
  Program program(folder.install(), true);
  HWND window = program.mainWindow();
  ASSERT_NE(window, nullptr);
  wchar_t caption[64] = {};
  GetWindowTextW(window, caption, 64);
  EXPECT_STREQ(caption, L"Tenebrolite");
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(GetParent(window), nullptr);

  ASSERT_TRUE(waitFor([&] { return iconAdds(program) > 0; }));
  Sleep(300);
  EXPECT_EQ(iconAdds(program), 1u);
  EXPECT_TRUE(program.exit());
}

TEST(Startup, IgnoredNotificationsDoNothingAndTaskbarCreatedAddsTheIconAgain) {
  TempFolder folder(L"routing");
  Program program(folder.install(), true);
  program.mainWindow();
  ASSERT_TRUE(waitFor([&] { return iconAdds(program) == 1; }));

  for (UINT ignored :
       std::initializer_list<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN,
                                   WM_MBUTTONDOWN, WM_MBUTTONUP, WM_RBUTTONDBLCLK, 0x20CU}) {
    program.notifyIcon(ignored);
  }
  // A message posted after them has been handled once the trace shows it.
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  PostMessageW(program.mainWindow(), taskbarCreated, 0, 0);
  // Let through from Explorer's lower integrity level when run as administrator.
  EXPECT_EQ(program.callCount("user32.ChangeWindowMessageFilterEx",
                              reinterpret_cast<std::uintptr_t>(program.mainWindow())),
            1u);
  EXPECT_EQ(program.relayCalls("user32.ChangeWindowMessageFilterEx").at(0).args.at(1),
            taskbarCreated);
  ASSERT_TRUE(waitFor([&] { return iconAdds(program) == 2; }));

  EXPECT_TRUE(program.relayCalls("user32.SendMessageW").empty()) << "no switch-off";
  EXPECT_TRUE(program.relayCalls("user32.TrackPopupMenu").empty()) << "no menu";
  EXPECT_TRUE(program.running());
  EXPECT_TRUE(program.exit());
}

TEST(Startup, ANewDisplayScaleChangesTheIconWithoutAddingIt) {
  TempFolder folder(L"dpi");
  Program program(folder.install(), true);
  HWND window = program.mainWindow();
  ASSERT_TRUE(waitFor([&] { return iconAdds(program) == 1; }));
  PostMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), 0);
  ASSERT_TRUE(
      waitFor([&] { return program.callCount("shell32.Shell_NotifyIconW", NIM_MODIFY) == 1; }));
  EXPECT_EQ(iconAdds(program), 1u);
  EXPECT_TRUE(program.exit());
}

TEST(Startup, TwoStartsGiveTwoRunningPrograms) {
  TempFolder folder(L"twice");
  const std::wstring exe = folder.install();
  Program one(exe, false);
  Program two(exe, false);
  ASSERT_NE(one.mainWindow(), nullptr);
  ASSERT_NE(two.mainWindow(), nullptr);
  EXPECT_NE(one.mainWindow(), two.mainWindow());
  EXPECT_TRUE(one.exit());
  EXPECT_TRUE(two.running());
  EXPECT_TRUE(two.exit());
}

TEST(Startup, VersionInformation) {
  const std::wstring exe = builtProgram();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, info.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010001u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010001u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);

  const struct {
    const wchar_t* entry;
    const wchar_t* text;
  } strings[] = {{L"ProductName", L"Tenebrolite"},
                 {L"InternalName", L"Tenebrolite"},
                 {L"OriginalFilename", L"Tenebrolite.exe"},
                 {L"CompanyName", L"Velmarind Media"},
                 {L"FileDescription", L"Turn Off monitor"},
                 {L"FileVersion", L"1.01"},
                 {L"ProductVersion", L"1.01"}};
  for (const auto& s : strings) {
    wchar_t* text = nullptr;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + s.entry;
    ASSERT_TRUE(
        VerQueryValueW(info.data(), query.c_str(), reinterpret_cast<void**>(&text), &length))
        << s.entry;
    EXPECT_STREQ(text, s.text);
  }
}

}  // namespace
}  // namespace e2e
