// The settings store against the real registry, through the real seam: what an
// in-memory fake cannot show. Each test works below a key of its own and
// deletes it afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/registry_win32.h"
#include "settings/registry_store.h"

namespace {

using platform::RegRoot;
using settings::LoadRegText;
using settings::SaveRegText;

class RealRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    base_ =
        u"Software\\TenebroliteTests\\" +
        std::u16string(info->name(), info->name() + std::char_traits<char>::length(info->name()));
    RegDeleteTreeW(HKEY_CURRENT_USER, w(base_));
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, w(base_));
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\TenebroliteTests");
  }

  static const wchar_t* w(const std::u16string& s) {
    return reinterpret_cast<const wchar_t*>(s.c_str());
  }

  bool keyExists(const std::u16string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, w(path), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }

  void putRaw(const std::u16string& path, const wchar_t* name, DWORD type, const void* data,
              DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, w(path), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }

  platform::win32::Win32Registry registry_;
  std::u16string base_;
};

TEST_F(RealRegistry, WriteCreatesMissingParentsAndTheAnsiViewIsTheSame) {
  const std::u16string key = base_ + u"\\Velmarind\\Tenebrolite";
  ASSERT_FALSE(keyExists(base_));
  SaveRegText(registry_, RegRoot::CurrentUser, key, u"Holdit", u"3");
  EXPECT_TRUE(keyExists(base_ + u"\\Velmarind"));

  // What the ANSI entry point reports is what an ANSI writer would have stored.
  const std::string ansiKey(key.begin(), key.end());
  HKEY opened = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, ansiKey.c_str(), 0, KEY_QUERY_VALUE, &opened),
            ERROR_SUCCESS);
  DWORD type = 0;
  BYTE data[8] = {0xAA, 0xAA, 0xAA, 0xAA};
  DWORD size = sizeof data;
  EXPECT_EQ(RegQueryValueExA(opened, "Holdit", nullptr, &type, data, &size), ERROR_SUCCESS);
  RegCloseKey(opened);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  ASSERT_EQ(size, 2u);
  EXPECT_EQ(data[0], '3');
  EXPECT_EQ(data[1], 0);

  EXPECT_EQ(LoadRegText(registry_, RegRoot::CurrentUser, key, u"holdit"), u"3");
}

TEST_F(RealRegistry, ReadsWhatOtherWritersStored) {
  const wchar_t unterminated[] = {L'1', L'2'};
  const DWORD three = 3;
  const wchar_t expand[] = L"%TEMP%";
  putRaw(base_, L"Unterminated", REG_SZ, unterminated, sizeof unterminated);
  putRaw(base_, L"Empty", REG_SZ, nullptr, 0);
  putRaw(base_, L"Dword", REG_DWORD, &three, sizeof three);
  putRaw(base_, L"Expand", REG_EXPAND_SZ, expand, sizeof expand);

  const struct {
    const char16_t* name;
    const char16_t* expected;
  } cases[] = {{u"Unterminated", u"12"},
               {u"Empty", u""},
               {u"Dword", u"3"},
               {u"Expand", u""},
               {u"Missing", u""}};
  for (const auto& c : cases) {
    EXPECT_EQ(LoadRegText(registry_, RegRoot::CurrentUser, base_, c.name), c.expected);
  }
}

TEST_F(RealRegistry, ReadingAMissingKeyCreatesNothing) {
  EXPECT_EQ(LoadRegText(registry_, RegRoot::CurrentUser, base_ + u"\\Nope", u"Holdit"), u"");
  EXPECT_FALSE(keyExists(base_));
}

}  // namespace
