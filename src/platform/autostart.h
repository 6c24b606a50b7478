#pragma once

#include <string>

namespace platform {

// Where the program registers itself to be started at logon.
class Autostart {
 public:
  virtual ~Autostart() = default;
  // Registers the program found at appFolder (which ends in the path
  // separator) under baseName, the executable's name without an extension,
  // replacing what an earlier start registered.
  virtual void registerAtLogon(const std::u16string& productName, const std::u16string& appFolder,
                               const std::u16string& baseName) = 0;
};

}  // namespace platform
