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

DesktopSession::DesktopSession(WakeRule& rule, std::string x11Display)
    : wayland_(waylandSession()),
      rule_(rule),
      x11Guard_(rule, std::move(x11Display)),
      mutterGuard_(rule) {}

bool DesktopSession::powerDown() {
  if (wayland_) {
    if (!compositor_) {
      compositor_ = wayland::Compositor::connect(rule_);
      waylandInput_.compositor = compositor_.get();
    }
    if (compositor_ && compositor_->switchOff()) {
      waylandGuard_.way = compositor_.get();
    } else if (mutterGuard_.powerDown()) {
      waylandGuard_.way = &mutterGuard_;
    } else if (invokeTurnOffScreen()) {
      // Input and outputs waking are heard through the compositor, if any.
      if (compositor_) compositor_->switchedOffBy([] { invokeTurnOffScreen(); });
      waylandGuard_.way = compositor_.get();
    } else {
      return false;
    }
    return true;
  }
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr) return false;
  XcbPower power(x11->connection());
  linux_desktop::powerDown(power);
  return true;
}

HoldGuard& DesktopSession::guard() {
  if (wayland_) return waylandGuard_;
  return x11Guard_;
}

bool DesktopSession::displayWaitsForInput() const {
  return wayland_ && (mutterGuard_.wakeAfterHoldPending() ||
                      (compositor_ && compositor_->wakeAfterHoldPending()));
}

Input& DesktopSession::input() {
  if (wayland_) return waylandInput_;
  return x11Input_;
}

}  // namespace platform::linux_desktop
