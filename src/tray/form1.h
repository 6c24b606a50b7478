#pragma once

#include <cstdint>

#include "platform/shell.h"
#include "platform/window.h"
#include "tray/commands.h"

namespace tray {

inline constexpr std::u16string_view kForm1Caption = u"Tenebrolite";
inline constexpr std::u16string_view kTrayTip = u"Tenebrolite";
inline constexpr std::uint32_t kTrayIconId = 1;
// The icon's callback message. It has the number of WM_LBUTTONDOWN, which the
// hidden window never receives for itself.
inline constexpr std::uint32_t kTrayCallbackMessage = 0x201;

// The hidden main window: it owns the notification icon, routes the icon's
// mouse notifications and carries the command menu.
class Form1 final : public platform::MainWindowEvents {
 public:
  Form1(platform::WindowSystem& windows, platform::Shell& shell, Commands& commands);

  // Loads the window (never shown), then runs Form_Load.
  void Load();
  // Loads the window without the icon: for a run that only switches off.
  void LoadHidden();
  platform::WindowHandle hWnd() const { return hWnd_; }

  void Form_Load();
  void AddTrayIcon();
  void RemoveTrayIcon();

  void mnuOffBtn2_Click();
  void mnuDoNoting_Click();
  void mnuExit_Click();

  // MainWindowEvents
  void onTrayNotification(std::uint32_t mouseMessage) override;
  void onMenuCommand(int command) override;
  void onTaskbarCreated() override;
  void onDpiChanged() override;

 private:
  platform::WindowSystem& windows_;
  platform::Shell& shell_;
  Commands& commands_;
  platform::WindowHandle hWnd_ = 0;
  bool withoutIcon_ = false;  // loaded by LoadHidden: a new taskbar gets no icon
  platform::TrayIconData trayIconData_;
};

}  // namespace tray
