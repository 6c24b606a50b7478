#include "platform/win32/locale_win32.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace platform::win32 {
namespace {

std::u16string userLocaleText(LCTYPE type) {
  wchar_t buffer[16] = {};  // separators and symbols are a few characters at most
  const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer, 16);
  return length > 1 ? fromWide(buffer, static_cast<std::size_t>(length - 1)) : std::u16string();
}

}  // namespace

NumberConventions Win32Locale::numberConventions() {
  return {userLocaleText(LOCALE_SDECIMAL), userLocaleText(LOCALE_STHOUSAND),
          userLocaleText(LOCALE_SCURRENCY)};
}

}  // namespace platform::win32
