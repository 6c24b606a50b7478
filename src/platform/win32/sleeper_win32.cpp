#include "platform/win32/sleeper_win32.h"

#include <windows.h>

namespace platform::win32 {

void Win32Sleeper::sleep(std::uint32_t milliseconds) {
  Sleep(milliseconds);
}

}  // namespace platform::win32
