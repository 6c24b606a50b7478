#pragma once

#include <cstdint>
#include <string>

#include "platform/window.h"

namespace platform {

namespace nim {
inline constexpr std::uint32_t kAdd = 0;
inline constexpr std::uint32_t kModify = 1;
inline constexpr std::uint32_t kDelete = 2;
}  // namespace nim

namespace nif {
inline constexpr std::uint32_t kMessage = 1;
inline constexpr std::uint32_t kIcon = 2;
inline constexpr std::uint32_t kTip = 4;
}  // namespace nif

inline constexpr int kSwShow = 5;

// The notification icon's record, as the program fills it.
struct TrayIconData {
  WindowHandle hWnd = 0;
  std::uint32_t uID = 0;
  std::uint32_t uFlags = 0;
  std::uint32_t uCallbackMessage = 0;
  IconHandle hIcon = 0;
  std::u16string szTip;
};

class Shell {
 public:
  virtual ~Shell() = default;
  // Adds or removes the notification icon; true when the shell accepted it.
  virtual bool notifyIcon(std::uint32_t message, const TrayIconData& data) = 0;
  // Hands a file or address to the shell with a verb, no parameters and no
  // working folder, and returns at once.
  virtual void execute(WindowHandle owner, const std::u16string& verb, const std::u16string& file,
                       int showCommand) = 0;
};

}  // namespace platform
