#include "platform/linux/session.h"

#include <QtGui/qguiapplication_platform.h>

#include <QGuiApplication>
#include <cstdlib>
#include <string_view>

namespace platform::linux_desktop {
namespace {

bool waylandSession() {
  const char* type = std::getenv("XDG_SESSION_TYPE");
  const char* display = std::getenv("WAYLAND_DISPLAY");
  return (type != nullptr && std::string_view(type) == "wayland") ||
         (display != nullptr && display[0] != '\0');
}

}  // namespace

DesktopSession::DesktopSession(WakeRule& rule)
    : wayland_(waylandSession()), x11Guard_(rule), mutterGuard_(rule) {}

bool DesktopSession::powerDown() {
  if (wayland_) return mutterGuard_.powerDown();
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr) return false;
  XcbPower power(x11->connection());
  linux_desktop::powerDown(power);
  return true;
}

HoldGuard& DesktopSession::guard() {
  if (wayland_) return mutterGuard_;
  return x11Guard_;
}

Input& DesktopSession::input() {
  if (wayland_) return noInputBlock_;
  return x11Input_;
}

}  // namespace platform::linux_desktop
