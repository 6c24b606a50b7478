#pragma once

#include <QDBusServiceWatcher>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>
#include <memory>
#include <vector>

#include "platform/linux/qt/window_system.h"
#include "platform/shell.h"

namespace platform::linux_desktop {

// The program's icon, in the notification area and on its windows.
QIcon programIcon();

// The notification icon on QSystemTrayIcon, and opening files and addresses
// with the desktop's handlers. The icon is made once a notification area is
// there, a StatusNotifierItem host or an XEmbed tray: at login the program
// may start before the panel. Qt itself tells a restarted watcher of an icon
// on D-Bus, and a restarted XEmbed tray of an icon there.
class QtShell final : public Shell {
 public:
  QtShell(QtWindowSystem& windows, const std::vector<MenuEntry>& menu);
  ~QtShell() override;
  QtShell(const QtShell&) = delete;
  QtShell& operator=(const QtShell&) = delete;

  bool notifyIcon(std::uint32_t message, const TrayIconData& data) override;
  void execute(WindowHandle owner, const std::u16string& verb, const std::u16string& file,
               int showCommand) override;

 private:
  class XEmbedClicks;
  void makeIcon(bool hostSeen);  // hostSeen: a host is registered
  // The icon, once a notification area of either kind can show it; the
  // watcher is asked without waiting for its answer.
  void lookForNotificationArea();
  void activated(QSystemTrayIcon::ActivationReason reason);

  QtWindowSystem& windows_;
  // What a StatusNotifierItem panel shows itself: the command menu, exported
  // over D-Bus with the icon.
  QMenu exportedMenu_;
  std::unique_ptr<QSystemTrayIcon> icon_;
  bool pending_ = false;  // added while no notification area is there
  // Made for an XEmbed tray, but as a StatusNotifierItem that no host shows
  // yet: Qt 6.8 makes one whenever a watcher is on the bus.
  bool unhosted_ = false;
  QString tip_;
  QDBusServiceWatcher watcher_;
  QTimer trayPoll_;  // looks for an XEmbed tray while the icon is pending
  // A desktop that shows no icon is told of once a run, some seconds after
  // the icon was added, with the ways to switch off that need none.
  QTimer noIconWait_;
  bool toldNoIcon_ = false;
  bool askingWatcher_ = false;
  void tellNoIcon();
  std::unique_ptr<QObject> xembedClicks_;
};

}  // namespace platform::linux_desktop
