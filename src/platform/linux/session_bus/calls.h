#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>
#include <QVariantList>

// Calls to the desktops' services on the session bus, as the program makes
// them: never starting a service, and waiting a second at most.
namespace platform::linux_desktop {

// No answer within a second is no answer: the UI thread waits for it.
inline constexpr int kCallTimeoutMs = 1000;

inline QDBusMessage request(const QString& service, const QString& path, const QString& interface,
                            const QString& method, const QVariantList& arguments = {}) {
  QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
  message.setArguments(arguments);
  // Asking must not start a desktop's service in another desktop's session.
  message.setAutoStartService(false);
  return message;
}

inline QDBusMessage call(const QDBusConnection& bus, const QDBusMessage& message) {
  return bus.call(message, QDBus::Block, kCallTimeoutMs);
}

}  // namespace platform::linux_desktop
