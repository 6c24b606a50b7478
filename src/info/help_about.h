#pragma once

#include <string>
#include <string_view>

#include "identity.h"
#include "platform/shell.h"
#include "platform/window.h"

namespace info {

// The web site as the About text shows it: without its final "/".
inline constexpr std::u16string_view kSiteLine =
    identity::kSiteAddress.substr(0, identity::kSiteAddress.size() - 1);

// The About message, line by line with CR LF between and none at the end.
std::u16string aboutText();
// The help page beside the program: its folder, the path separator and
// "help.html". In a drive root the folder already ends in "\" and the path
// keeps both.
std::u16string helpPagePath(const std::u16string& programFolder, const std::u16string& separator);
// The maker's products page.
std::u16string productsAddress(const std::u16string& siteUrl);

// Opens the help page with whatever opens such pages; the outcome is not
// looked at, so a missing page shows nothing.
void mnuHelp_Click(platform::Shell& shell, platform::AppInfo& appInfo,
                   platform::WindowHandle form1);

// Shows the About message; Yes opens the products page.
void mnuAbout_Click(platform::WindowSystem& windows, platform::Shell& shell,
                    platform::WindowHandle form1, const std::u16string& siteUrl);

}  // namespace info
