#pragma once

#include <functional>
#include <vector>

#include "platform/linux/wayland/globals.h"

struct ext_idle_notification_v1;
struct org_kde_kwin_idle_timeout;

namespace platform::linux_desktop::wayland {

// The user's input as the compositor's idle protocol tells of it:
// ext_idle_notifier_v1 where offered, else org_kde_kwin_idle. Its shortest
// idle time makes every input after a pause of a millisecond a "resumed".
// Only the notifier's version 2 tells of input while another client (a video
// player) inhibits idle; the others then say nothing. On the connection's
// thread only.
class IdleWatch {
 public:
  IdleWatch(Globals& globals, std::function<void()> onInput)
      : globals_(globals), onInput_(std::move(onInput)) {}
  ~IdleWatch() { stop(); }
  IdleWatch(const IdleWatch&) = delete;
  IdleWatch& operator=(const IdleWatch&) = delete;

  // Nothing where the compositor offers no idle protocol.
  void start();
  void stop();
  // Whether input is told of whatever other clients do.
  bool hearsThroughInhibitors() const;

  static void resumed(void* data);

 private:
  Globals& globals_;
  std::function<void()> onInput_;
  std::vector<ext_idle_notification_v1*> ext_;
  std::vector<org_kde_kwin_idle_timeout*> kde_;
};

}  // namespace platform::linux_desktop::wayland
