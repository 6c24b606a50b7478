// The notification icon's record as Shell_NotifyIconW receives it.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/shell_win32.h"

namespace {

TEST(NotifyIconData, FullRecordWithTheProgramsFields) {
  platform::TrayIconData data;
  data.hWnd = 0x1234;
  data.uID = 1;
  data.uFlags = 7;
  data.uCallbackMessage = 0x201;
  data.hIcon = 0x5678;
  data.szTip = u"Tenebrolite";
  const NOTIFYICONDATAW record = platform::win32::toNotifyIconData(data);
  EXPECT_EQ(record.cbSize, sizeof(NOTIFYICONDATAW));
  EXPECT_EQ(record.hWnd, reinterpret_cast<HWND>(0x1234));
  EXPECT_EQ(record.uID, 1u);
  EXPECT_EQ(record.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(record.uCallbackMessage, 0x201u);
  EXPECT_EQ(record.hIcon, reinterpret_cast<HICON>(0x5678));
  EXPECT_STREQ(record.szTip, L"Tenebrolite");
}

TEST(NotifyIconData, ALongTipIsCutToTheFieldAndTerminated) {
  platform::TrayIconData data;
  data.szTip = std::u16string(300, u'x');
  const NOTIFYICONDATAW record = platform::win32::toNotifyIconData(data);
  EXPECT_EQ(wcslen(record.szTip), std::size(record.szTip) - 1);
}

}  // namespace
