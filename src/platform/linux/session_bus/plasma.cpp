#include "platform/linux/session_bus/plasma.h"

#include <QDBusConnectionInterface>
#include <QStringList>

#include "platform/linux/session_bus/calls.h"

namespace platform::linux_desktop {

bool invokeTurnOffScreen() {
  const QDBusConnection bus = QDBusConnection::sessionBus();
  const QString service = QStringLiteral("org.kde.kglobalaccel");
  const QString path = QStringLiteral("/component/org_kde_powerdevil");
  const QString component = QStringLiteral("org.kde.kglobalaccel.Component");
  const QString shortcut = QStringLiteral("Turn Off Screen");
  // kglobalaccel keeps a component's shortcuts listed, and invoking them
  // succeeding, after the power management that serves them has quit or
  // crashed: only a running one is asked.
  if (!bus.interface()
           ->isServiceRegistered(QStringLiteral("org.kde.Solid.PowerManagement"))
           .value()) {
    return false;
  }
  // Invoking a name the component lacks succeeds silently: ask for it first.
  const QDBusMessage names =
      call(bus, request(service, path, component, QStringLiteral("shortcutNames")));
  if (names.type() != QDBusMessage::ReplyMessage ||
      !names.arguments().value(0).toStringList().contains(shortcut)) {
    return false;
  }
  return call(bus, request(service, path, component, QStringLiteral("invokeShortcut"), {shortcut}))
             .type() == QDBusMessage::ReplyMessage;
}

}  // namespace platform::linux_desktop
