#pragma once

#include "platform/sleep.h"

namespace platform::win32 {

class Win32Sleeper final : public Sleeper {
 public:
  void sleep(std::uint32_t milliseconds) override;
};

}  // namespace platform::win32
