#pragma once

#include <wayland-client.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct ext_idle_notifier_v1;
struct xdg_activation_v1;
struct xdg_wm_base;
struct org_kde_kwin_dpms_manager;
struct org_kde_kwin_idle;
struct zwlr_input_inhibit_manager_v1;
struct zwlr_layer_shell_v1;
struct zwlr_output_power_manager_v1;

namespace platform::linux_desktop::wayland {

// What the compositor offers the program, bound at the connection's start
// and kept up to date as outputs and seats come and go. On the connection's
// thread only.
class Globals {
 public:
  struct Seat {
    Globals* owner = nullptr;
    wl_seat* seat = nullptr;
    std::uint32_t name = 0;
    std::uint32_t capabilities = 0;
  };
  struct Output {
    wl_output* output = nullptr;
    std::uint32_t name = 0;
  };

  explicit Globals(wl_display* display);
  ~Globals();
  Globals(const Globals&) = delete;
  Globals& operator=(const Globals&) = delete;

  std::vector<std::unique_ptr<Seat>> seats;
  std::vector<Output> outputs;
  wl_compositor* compositor = nullptr;
  wl_shm* shm = nullptr;
  zwlr_layer_shell_v1* layerShell = nullptr;
  // Where there is no layer shell (GNOME): full-screen windows, and the
  // activation that gives them the keyboard.
  xdg_wm_base* wmBase = nullptr;
  xdg_activation_v1* activation = nullptr;
  zwlr_input_inhibit_manager_v1* inputInhibitor = nullptr;
  zwlr_output_power_manager_v1* wlrPower = nullptr;
  org_kde_kwin_dpms_manager* kdeDpms = nullptr;
  ext_idle_notifier_v1* idleNotifier = nullptr;
  org_kde_kwin_idle* kdeIdle = nullptr;
  // Called once an output that came after the start is bound.
  std::function<void(wl_output*)> outputAdded;
  // Called before an output that has gone is destroyed: whatever was made
  // for it goes first.
  std::function<void(wl_output*)> outputGone;
  // A seat's keyboard or pointer came or went (a compositor may have none
  // until a device is plugged in).
  std::function<void()> seatsChanged;

  static void added(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                    std::uint32_t version);
  static void removed(void* data, wl_registry* registry, std::uint32_t name);

 private:
  wl_registry* registry_;
};

}  // namespace platform::linux_desktop::wayland
