#pragma once

#include <QDBusServiceWatcher>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <memory>
#include <vector>

#include "platform/linux/qt_window_system.h"
#include "platform/shell.h"

namespace platform::linux_desktop {

// The notification icon on QSystemTrayIcon, and opening files and addresses
// with the desktop's handlers. Qt shows the icon as a StatusNotifierItem when
// a StatusNotifierWatcher (the panel) is on the session bus as the icon is
// made, and in the XEmbed tray otherwise; it never switches by itself. So an
// icon made before the panel came is made again when the watcher appears, as
// the Win32 program adds its icon again when Explorer's taskbar is new. An
// icon on D-Bus is told to a restarted watcher by Qt itself.
class QtShell final : public Shell {
 public:
  QtShell(QtWindowSystem& windows, std::vector<MenuEntry> menu);
  ~QtShell() override;
  QtShell(const QtShell&) = delete;
  QtShell& operator=(const QtShell&) = delete;

  bool notifyIcon(std::uint32_t message, const TrayIconData& data) override;
  void execute(WindowHandle owner, const std::u16string& verb, const std::u16string& file,
               int showCommand) override;

 private:
  class XEmbedClicks;
  void makeIcon(const TrayIconData& data);
  void activated(QSystemTrayIcon::ActivationReason reason);

  QtWindowSystem& windows_;
  // What a StatusNotifierItem panel shows itself: the command menu, exported
  // over D-Bus with the icon.
  QMenu exportedMenu_;
  std::unique_ptr<QSystemTrayIcon> icon_;
  bool onDBus_ = false;
  QDBusServiceWatcher watcher_;
  std::unique_ptr<QObject> xembedClicks_;
};

}  // namespace platform::linux_desktop
