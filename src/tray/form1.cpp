#include "tray/form1.h"

#include "tray/menu.h"

namespace tray {

using namespace platform;

Form1::Form1(WindowSystem& windows, Shell& shell, Commands& commands)
    : windows_(windows), shell_(shell), commands_(commands) {}

void Form1::Load() {
  hWnd_ = windows_.loadMainWindow(std::u16string(kForm1Caption), *this);
  Form_Load();
}

void Form1::LoadHidden() {
  withoutIcon_ = true;
  hWnd_ = windows_.loadMainWindow(std::u16string(kForm1Caption), *this);
  windows_.hideWindow(hWnd_);
}

void Form1::Form_Load() {
  windows_.hideWindow(hWnd_);
  AddTrayIcon();
}

void Form1::AddTrayIcon() {
  trayIconData_.hWnd = hWnd_;
  trayIconData_.uID = kTrayIconId;
  trayIconData_.uFlags = nif::kMessage | nif::kIcon | nif::kTip;
  trayIconData_.uCallbackMessage = kTrayCallbackMessage;
  trayIconData_.hIcon = windows_.smallIcon(hWnd_);
  trayIconData_.szTip = std::u16string(kTrayTip);
  shell_.notifyIcon(nim::kAdd, trayIconData_);
}

void Form1::RemoveTrayIcon() {
  trayIconData_.hWnd = hWnd_;
  trayIconData_.uID = kTrayIconId;
  shell_.notifyIcon(nim::kDelete, trayIconData_);
}

// The icon reports the mouse message itself; routing on its number (rather
// than on a coordinate scaled to twips and back) keeps it exact at every dpi.
void Form1::onTrayNotification(std::uint32_t mouseMessage) {
  switch (mouseMessage) {
    case msg::kLButtonDblClk:
      return;
    case msg::kLButtonUp:
      commands_.mnuOffBtn_Click();
      return;
    case msg::kRButtonUp:
      windows_.popupMenu(hWnd_, popupEntries());
      return;
    default:
      return;
  }
}

void Form1::onMenuCommand(int command) {
  switch (static_cast<MenuCommand>(command)) {
    case MenuCommand::OffBtn2:
      mnuOffBtn2_Click();
      return;
    case MenuCommand::Holdit:
      commands_.mnuHoldit_Click();
      return;
    case MenuCommand::Help:
      commands_.mnuHelp_Click();
      return;
    case MenuCommand::About:
      commands_.mnuAbout_Click();
      return;
    case MenuCommand::DoNoting:
      mnuDoNoting_Click();
      return;
    case MenuCommand::Exit:
      mnuExit_Click();
      return;
    case MenuCommand::None:
      return;
  }
}

// Explorer restarted: the new notification area knows no icon of ours.
void Form1::onTaskbarCreated() {
  if (withoutIcon_) return;
  AddTrayIcon();
}

// The icon stays; only its picture changes to the size for the new scale.
void Form1::onDpiChanged() {
  if (withoutIcon_) return;
  trayIconData_.hIcon = windows_.smallIcon(hWnd_);
  shell_.notifyIcon(nim::kModify, trayIconData_);
}

void Form1::mnuOffBtn2_Click() {
  commands_.mnuOffBtn_Click();
}

void Form1::mnuDoNoting_Click() {}

void Form1::mnuExit_Click() {
  // The icon goes first, before any window is destroyed.
  RemoveTrayIcon();
  commands_.UnloadAllForms();
}

}  // namespace tray
