#pragma once

#include <string>
#include <string_view>

#include "platform/autostart.h"

namespace platform::linux_desktop {

// The XDG autostart entry, the Run value's counterpart: <folder>/tenebrolite.desktop,
// rewritten at every start with the path of the running program. The keys
// with which desktops switch an entry off are kept from the old entry: the
// user's choice in the desktop's settings wins.
class DesktopAutostart final : public Autostart {
 public:
  // folder: $XDG_CONFIG_HOME/autostart.
  explicit DesktopAutostart(std::string folder) : folder_(std::move(folder)) {}
  void registerAtLogon(const std::u16string& productName, const std::u16string& appFolder,
                       const std::u16string& baseName) override;

 private:
  std::string folder_;
};

// The entry for a program, keeping Hidden and X-GNOME-Autostart-enabled of
// the old entry.
std::string autostartEntry(std::string_view oldEntry, std::string_view productName,
                           std::string_view programPath);

}  // namespace platform::linux_desktop
