#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "platform/shell.h"
#include "platform/win32/system_library.h"

namespace platform::win32 {

// The record handed to Shell_NotifyIconW for the program's TrayIconData.
NOTIFYICONDATAW toNotifyIconData(const TrayIconData& data);

class Win32Shell final : public Shell {
 public:
  Win32Shell() = default;
  ~Win32Shell() override;
  Win32Shell(const Win32Shell&) = delete;
  Win32Shell& operator=(const Win32Shell&) = delete;

  bool notifyIcon(std::uint32_t message, const TrayIconData& data) override;
  void execute(WindowHandle owner, const std::u16string& verb, const std::u16string& file,
               int showCommand) override;

 private:
  SystemLibrary ole32_{L"ole32.dll"};
  bool comInitialised_ = false;
};

}  // namespace platform::win32
