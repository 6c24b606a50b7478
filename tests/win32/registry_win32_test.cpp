// The settings store through the real seam, on the real registry.
#include "platform/win32/registry_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <tuple>

#include "settings/registry_store.h"

namespace {

using platform::RegRoot;

class RealRegistry : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, w(base_)); }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, w(base_)); }
  static const wchar_t* w(const std::u16string& s) {
    return reinterpret_cast<const wchar_t*>(s.c_str());
  }

  const std::u16string base_ = u"Software\\TenebroliteTests";
  platform::win32::Win32Registry registry_;
};

TEST_F(RealRegistry, WritesUtf16WithOneNulAndReadsWhatOthersStored) {
  // Characters no ANSI code page holds together, in a key whose parents are missing.
  const std::u16string key = base_ + u"\\Velmarind\\Tenebrolite";
  const std::u16string text = u" 2,5\u00e9\u4e2d";
  settings::SaveRegText(registry_, RegRoot::CurrentUser, key, u"Holdit", text);
  // The raw value: RegGetValue would add a missing terminator.
  HKEY opened = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, w(key), 0, KEY_QUERY_VALUE, &opened), ERROR_SUCCESS);
  DWORD type = 0, size = 64;
  std::u16string stored(32, u'?');
  EXPECT_EQ(RegQueryValueExW(opened, L"Holdit", nullptr, &type,
                             reinterpret_cast<BYTE*>(stored.data()), &size),
            ERROR_SUCCESS);
  RegCloseKey(opened);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(stored.substr(0, size / 2), text + u'\0');
  EXPECT_EQ(size % 2, 0u);
  EXPECT_EQ(settings::LoadRegText(registry_, RegRoot::CurrentUser, key, u"Holdit"), text);

  // What other writers stored.
  const std::u16string longText = std::u16string(100'000, u' ') + u"4";
  const DWORD three = 3;
  const std::tuple<const wchar_t*, DWORD, const void*, DWORD, std::u16string> cases[] = {
      {L"Unterminated", REG_SZ, u"12", 4, u"12"},
      {L"OddByteCount", REG_SZ, u"59", 3, u"5"},
      {L"Empty", REG_SZ, nullptr, 0, u""},
      {L"Long", REG_SZ, longText.c_str(), 200'004, longText},
      {L"Dword", REG_DWORD, &three, 4, u"3"},
      {L"Expand", REG_EXPAND_SZ, u"5", 4, u""}};
  for (const auto& [name, valueType, data, bytes, expected] : cases) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, w(base_), name, valueType, data, bytes),
              ERROR_SUCCESS);
    const std::u16string read =
        settings::LoadRegText(registry_, RegRoot::CurrentUser, base_, {name, name + wcslen(name)});
    EXPECT_EQ(read, expected) << bytes;
  }
  // Nothing at all, and a missing key, which a read does not create.
  EXPECT_EQ(settings::LoadRegText(registry_, RegRoot::CurrentUser, base_, u"Missing"), u"");
  EXPECT_EQ(settings::LoadRegText(registry_, RegRoot::CurrentUser, base_ + u"\\No", u"X"), u"");
  EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, w(base_ + u"\\No"), 0, KEY_READ, &opened),
            ERROR_SUCCESS);
}

}  // namespace
