#include "platform/linux/x11/hold.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <xcb/dpms.h>

#include <cstdlib>
#include <future>

#include "platform/linux/clock.h"

namespace platform::linux_desktop {
namespace {

// The wait between two tries of a refused grab.
constexpr Milliseconds kGrabRetryMs = 10;

template <typename Reply>
struct Freed {
  Reply* reply;
  ~Freed() { std::free(reply); }
};

}  // namespace

bool XcbPower::dpmsPresent() {
  const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection_, &xcb_dpms_id);
  return extension != nullptr && extension->present;
}

bool XcbPower::dpmsCapable() {
  Freed<xcb_dpms_capable_reply_t> reply{
      xcb_dpms_capable_reply(connection_, xcb_dpms_capable(connection_), nullptr)};
  return reply.reply != nullptr && reply.reply->capable;
}

bool XcbPower::dpmsEnabled() {
  Freed<xcb_dpms_info_reply_t> reply{
      xcb_dpms_info_reply(connection_, xcb_dpms_info(connection_), nullptr)};
  return reply.reply != nullptr && reply.reply->state;
}

void XcbPower::dpmsEnable() {
  xcb_dpms_enable(connection_);
}

void XcbPower::dpmsForceOff() {
  xcb_dpms_force_level(connection_, XCB_DPMS_DPMS_MODE_OFF);
  xcb_flush(connection_);
}

void XcbPower::activateScreenSaver() {
  xcb_force_screen_saver(connection_, XCB_SCREEN_SAVER_ACTIVE);
  xcb_flush(connection_);
}

X11HoldGuard::~X11HoldGuard() {
  stop();
}

void X11HoldGuard::start() {
  if (thread_.joinable()) return;
  wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) return;
  stopping_ = false;
  std::promise<void> ready;
  std::future<void> started = ready.get_future();
  thread_ =
      std::thread([this, fd = wakeFd_, ready = std::move(ready)]() mutable { run(fd, ready); });
  // The thread has its connection and the rule has begun before input is
  // blocked.
  started.wait();
}

void X11HoldGuard::stop() {
  if (!thread_.joinable()) return;
  stopping_ = true;
  signal();
  thread_.join();
  ::close(wakeFd_);
  wakeFd_ = -1;
  grabWanted_ = false;
}

void X11HoldGuard::grab(bool on) {
  grabWanted_ = on;
  signal();
}

void X11HoldGuard::signal() {
  if (wakeFd_ < 0) return;
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
}

void X11HoldGuard::run(int wakeFd, std::promise<void>& ready) {
  int screenNumber = 0;
  xcb_connection_t* connection = xcb_connect(display_.c_str(), &screenNumber);
  rule_.begin();
  ready.set_value();
  // A screen the server does not have (":0.3" on a one-screen server) has no
  // root to grab.
  if (xcb_connection_has_error(connection) != 0 || screenNumber < 0 ||
      screenNumber >= xcb_setup_roots_length(xcb_get_setup(connection))) {
    // No X server to grab from: wait for the end of the hold.
    pollfd wake{wakeFd, POLLIN, 0};
    while (!stopping_) {
      ::poll(&wake, 1, -1);
      std::uint64_t count = 0;
      [[maybe_unused]] const ssize_t got = ::read(wakeFd, &count, sizeof count);
    }
    rule_.end();
    xcb_disconnect(connection);
    return;
  }
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
  for (int i = 0; i < screenNumber; ++i) xcb_screen_next(&screens);
  const xcb_window_t root = screens.data->root;
  XcbPower power(connection);

  bool keyboard = false;
  bool pointer = false;
  Milliseconds next = -1;
  const std::function<bool()> ownDesktop = [&keyboard] {
    // Input comes here only through the grab; while another client (a screen
    // locker) holds the keyboard, the display is the user's.
    return keyboard;
  };
  while (!stopping_) {
    if (grabWanted_ && !keyboard) {
      auto* reply =
          xcb_grab_keyboard_reply(connection,
                                  xcb_grab_keyboard(connection, 0, root, XCB_CURRENT_TIME,
                                                    XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                  nullptr);
      keyboard = reply != nullptr && reply->status == XCB_GRAB_STATUS_SUCCESS;
      std::free(reply);
    }
    if (grabWanted_ && !pointer) {
      auto* reply = xcb_grab_pointer_reply(
          connection,
          xcb_grab_pointer(connection, 0, root,
                           XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                               XCB_EVENT_MASK_POINTER_MOTION,
                           XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE,
                           XCB_CURRENT_TIME),
          nullptr);
      pointer = reply != nullptr && reply->status == XCB_GRAB_STATUS_SUCCESS;
      std::free(reply);
    }
    if (!grabWanted_ && (keyboard || pointer)) {
      xcb_ungrab_keyboard(connection, XCB_CURRENT_TIME);
      xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);
      xcb_flush(connection);
      keyboard = pointer = false;
    }

    bool woken = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
      switch (event->response_type & 0x7F) {
        case XCB_KEY_PRESS:
        case XCB_KEY_RELEASE:
        case XCB_BUTTON_PRESS:
        case XCB_BUTTON_RELEASE:
        case XCB_MOTION_NOTIFY:
          woken = true;
          break;
        default:
          break;
      }
      std::free(event);
    }
    if (woken) rule_.noteWake();
    if (rule_.due(steadyNow(), ownDesktop, next)) powerDown(power);

    Milliseconds timeout = waitUntil(next, steadyNow());
    if (grabWanted_ && !(keyboard && pointer)) {
      timeout = timeout < 0 ? kGrabRetryMs : std::min(timeout, kGrabRetryMs);
    }
    pollfd fds[2] = {{xcb_get_file_descriptor(connection), POLLIN, 0}, {wakeFd, POLLIN, 0}};
    ::poll(fds, 2, static_cast<int>(timeout));
    if ((fds[1].revents & POLLIN) != 0) {
      std::uint64_t count = 0;
      [[maybe_unused]] const ssize_t got = ::read(wakeFd, &count, sizeof count);
    }
    if (xcb_connection_has_error(connection) != 0) break;
  }

  // The server drops a closed connection's grabs too; ungrabbing first makes
  // that the order of requests, not of the socket's closing.
  if (keyboard) xcb_ungrab_keyboard(connection, XCB_CURRENT_TIME);
  if (pointer) xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);
  xcb_flush(connection);
  rule_.end();
  xcb_disconnect(connection);
}

}  // namespace platform::linux_desktop
