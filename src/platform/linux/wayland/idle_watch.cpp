#include "platform/linux/wayland/idle_watch.h"

#include "ext-idle-notify-v1-client.h"
#include "idle-client.h"

namespace platform::linux_desktop::wayland {
namespace {

// A timeout of 0 would be no timer at all in some compositors.
constexpr std::uint32_t kIdleMs = 1;

void extIdled(void* /*data*/, ext_idle_notification_v1* /*notification*/) {}
void extResumed(void* data, ext_idle_notification_v1* /*notification*/) {
  IdleWatch::resumed(data);
}
constexpr ext_idle_notification_v1_listener kExtListener = {extIdled, extResumed};

void kdeIdle(void* /*data*/, org_kde_kwin_idle_timeout* /*timeout*/) {}
void kdeResumed(void* data, org_kde_kwin_idle_timeout* /*timeout*/) {
  IdleWatch::resumed(data);
}
// Plasma's description may gain events; those named here are all that come.
constexpr org_kde_kwin_idle_timeout_listener kKdeListener = [] {
  org_kde_kwin_idle_timeout_listener listener{};
  listener.idle = kdeIdle;
  listener.resumed = kdeResumed;
  return listener;
}();

}  // namespace

void IdleWatch::resumed(void* data) {
  static_cast<IdleWatch*>(data)->onInput_();
}

bool IdleWatch::hearsThroughInhibitors() const {
  return globals_.idleNotifier != nullptr && !globals_.seats.empty() &&
         ext_idle_notifier_v1_get_version(globals_.idleNotifier) >=
             EXT_IDLE_NOTIFIER_V1_GET_INPUT_IDLE_NOTIFICATION_SINCE_VERSION;
}

void IdleWatch::start() {
  stop();
  for (const auto& seat : globals_.seats) {
    if (globals_.idleNotifier != nullptr) {
      ext_idle_notification_v1* notification =
          hearsThroughInhibitors()
              ? ext_idle_notifier_v1_get_input_idle_notification(globals_.idleNotifier, kIdleMs,
                                                                  seat->seat)
              : ext_idle_notifier_v1_get_idle_notification(globals_.idleNotifier, kIdleMs,
                                                            seat->seat);
      ext_idle_notification_v1_add_listener(notification, &kExtListener, this);
      ext_.push_back(notification);
    } else if (globals_.kdeIdle != nullptr) {
      org_kde_kwin_idle_timeout* timeout =
          org_kde_kwin_idle_get_idle_timeout(globals_.kdeIdle, seat->seat, kIdleMs);
      org_kde_kwin_idle_timeout_add_listener(timeout, &kKdeListener, this);
      kde_.push_back(timeout);
    }
  }
}

void IdleWatch::stop() {
  for (ext_idle_notification_v1* notification : ext_)
    ext_idle_notification_v1_destroy(notification);
  for (org_kde_kwin_idle_timeout* timeout : kde_) org_kde_kwin_idle_timeout_release(timeout);
  ext_.clear();
  kde_.clear();
}

}  // namespace platform::linux_desktop::wayland
