#pragma once

#include <string_view>

// Who the program is: names that every layer may show or build on.
namespace identity {

// The application title: the settings key's last part, the title of the
// program's message boxes.
inline constexpr std::u16string_view kApplicationTitle = u"Tenebrolite";

// The maker's web site, ending in "/".
inline constexpr std::u16string_view kSiteAddress = u"https://velmarind.example/";

}  // namespace identity
