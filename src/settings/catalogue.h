#pragma once

#include <array>
#include <string>
#include <string_view>

// Every registry value the program touches, in one place. All of them live
// under HKEY_CURRENT_USER.
namespace settings {

inline constexpr std::u16string_view kSettingsKeyPrefix = u"Software\\Velmarind\\";
inline constexpr std::u16string_view kRunKeyPath =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The hold time in seconds, as the user typed it. Nothing writes a default.
inline constexpr std::u16string_view kHoldit = u"Holdit";

struct FixedValue {
  std::u16string_view name;
  std::u16string_view data;
};

// Written at every start, each replacing what was there; nothing reads them.
inline constexpr std::array<FixedValue, 4> kFixedValues{{
    {u"SitL", u" 0"},
    {u"SitT", u" 0"},
    {u"BKColr", u"&H00C0C0C0"},
    {u"Btn", u"1"},
}};

// The settings key, Software\Velmarind\<application title>, no trailing "\".
inline std::u16string settingsKeyPathFor(std::u16string_view applicationTitle) {
  std::u16string path(kSettingsKeyPrefix);
  path += applicationTitle;
  return path;
}

}  // namespace settings
