#pragma once

#include "platform/locale.h"

namespace platform::win32 {

// The current user's number conventions from GetLocaleInfoEx.
class Win32Locale final : public Locale {
 public:
  NumberConventions numberConventions() override;
};

}  // namespace platform::win32
