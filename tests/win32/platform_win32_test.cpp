// The platform layer's own rules, against the real system.
#include <windows.h>

#include <gtest/gtest.h>

#include <tuple>

#include "platform/win32/app_info_win32.h"
#include "platform/win32/locale_win32.h"
#include "platform/win32/shell_win32.h"

namespace {

TEST(AppInfo, FolderAndNameOfTheExecutable) {
  const struct {
    std::u16string path, folder, baseName;
  } cases[] = {
      {u"C:\\Program Files\\Tenebrolite\\Tenebrolite.exe", u"C:\\Program Files\\Tenebrolite",
       u"Tenebrolite"},
      {u"C:\\Tenebrolite.exe", u"C:\\", u"Tenebrolite"},  // a drive root keeps its backslash
      {u"D:\\a.b\\Renamed.v2.exe", u"D:\\a.b", u"Renamed.v2"}};
  for (const auto& c : cases) {
    EXPECT_EQ(platform::win32::folderOf(c.path), c.folder);
    EXPECT_EQ(platform::win32::baseNameOf(c.path), c.baseName);
  }
}

TEST(Locale, TheUsersOwnNumberConventions) {
  const LCTYPE types[] = {LOCALE_SDECIMAL, LOCALE_STHOUSAND, LOCALE_SCURRENCY};
  const wchar_t* chosen[] = {L"#", L"'", L"kr."};
  wchar_t before[3][16] = {};
  for (int i = 0; i < 3; ++i) {
    GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, types[i], before[i], 16);
    ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, types[i], chosen[i]));
  }
  const platform::NumberConventions read = platform::win32::Win32Locale().numberConventions();
  for (int i = 0; i < 3; ++i) SetLocaleInfoW(LOCALE_USER_DEFAULT, types[i], before[i]);
  EXPECT_EQ(read.decimalSeparator, u"#");
  EXPECT_EQ(read.thousandsSeparator, u"'");
  EXPECT_EQ(read.currencySymbol, u"kr.");
}

TEST(NotifyIconData, TheWholeRecordWithTheTipCutToItsField) {
  const NOTIFYICONDATAW record =
      platform::win32::toNotifyIconData({0x1234, 1, 7, 0x201, 0x5678, std::u16string(300, u'x')});
  EXPECT_EQ(record.cbSize, sizeof(NOTIFYICONDATAW));
  EXPECT_EQ(record.hWnd, reinterpret_cast<HWND>(0x1234));
  EXPECT_EQ(std::tuple(record.uID, record.uFlags, record.uCallbackMessage),
            std::tuple(1u, 7u, 0x201u));
  EXPECT_EQ(record.hIcon, reinterpret_cast<HICON>(0x5678));
  EXPECT_EQ(std::wstring(record.szTip), std::wstring(127, L'x'));
}

}  // namespace
