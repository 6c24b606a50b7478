#pragma once

#include <string>
#include <string_view>

namespace app {

// The application title: the settings key's last part, the title of the
// program's message boxes.
inline constexpr std::u16string_view kApplicationTitle = u"Tenebrolite";

// The maker's web site. The About text shows it without its final "/".
inline constexpr std::u16string_view kSiteAddress = u"https://velmarind.example/";

// The three process-wide texts, set once by Main and read-only afterwards.
struct ProcessTexts {
  std::u16string SiteUrl;
  std::u16string SettingsKeyPath;
  std::u16string AppFolder;
};

}  // namespace app
