#pragma once

#include "platform/autostart.h"
#include "platform/registry.h"

namespace settings {

// Autostart as the Run value: the product's name under the Run key, holding
// the quoted path of the exe, written through the settings store.
class RunValueAutostart final : public platform::Autostart {
 public:
  explicit RunValueAutostart(platform::Registry& registry) : registry_(registry) {}
  void registerAtLogon(const std::u16string& productName, const std::u16string& appFolder,
                       const std::u16string& baseName) override;

 private:
  platform::Registry& registry_;
};

}  // namespace settings
