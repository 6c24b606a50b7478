#include "platform/linux/wayland/globals.h"

#include <algorithm>
#include <string_view>

#include "dpms-client.h"
#include "ext-idle-notify-v1-client.h"
#include "idle-client.h"
#include "wlr-input-inhibitor-unstable-v1-client.h"
#include "wlr-layer-shell-unstable-v1-client.h"
#include "wlr-output-power-management-unstable-v1-client.h"
#include "xdg-activation-v1-client.h"
#include "xdg-shell-client.h"

namespace platform::linux_desktop::wayland {
namespace {

// The listeners name the events they handle: a newer description's added
// events (never sent at the versions bound here) stay null and still build.
constexpr wl_registry_listener kRegistryListener = [] {
  wl_registry_listener listener{};
  listener.global = Globals::added;
  listener.global_remove = Globals::removed;
  return listener;
}();

void capabilities(void* data, wl_seat* /*seat*/, std::uint32_t capabilities) {
  auto& seat = *static_cast<Globals::Seat*>(data);
  seat.capabilities = capabilities;
  if (seat.owner->seatsChanged) seat.owner->seatsChanged();
}
void seatName(void* /*data*/, wl_seat* /*seat*/, const char* /*name*/) {}
constexpr wl_seat_listener kSeatListener = [] {
  wl_seat_listener listener{};
  listener.capabilities = capabilities;
  listener.name = seatName;
  return listener;
}();

// A client that does not answer is "not responding" to the shell.
void ping(void* /*data*/, xdg_wm_base* base, std::uint32_t serial) {
  xdg_wm_base_pong(base, serial);
}
constexpr xdg_wm_base_listener kWmBaseListener = [] {
  xdg_wm_base_listener listener{};
  listener.ping = ping;
  return listener;
}();

template <typename Proxy>
Proxy* bind(wl_registry* registry, std::uint32_t name, const wl_interface& interface,
            std::uint32_t offered, std::uint32_t wanted) {
  return static_cast<Proxy*>(
      wl_registry_bind(registry, name, &interface, std::min(offered, wanted)));
}

void releaseOutput(wl_output* output) {
  if (wl_output_get_version(output) >= WL_OUTPUT_RELEASE_SINCE_VERSION) {
    wl_output_release(output);
  } else {
    wl_output_destroy(output);
  }
}

}  // namespace

Globals::Globals(wl_display* display) : registry_(wl_display_get_registry(display)) {
  wl_registry_add_listener(registry_, &kRegistryListener, this);
  wl_display_roundtrip(display);
  // The seats' capabilities come in answer to their binding.
  wl_display_roundtrip(display);
}

Globals::~Globals() {
  for (const auto& seat : seats) {
    if (wl_seat_get_version(seat->seat) >= WL_SEAT_RELEASE_SINCE_VERSION) {
      wl_seat_release(seat->seat);
    } else {
      wl_seat_destroy(seat->seat);
    }
  }
  for (const Output& output : outputs) releaseOutput(output.output);
  if (compositor != nullptr) wl_compositor_destroy(compositor);
  if (shm != nullptr) wl_shm_destroy(shm);
  if (layerShell != nullptr) {
    // Before version 3 the manager has no destroy request: sending one is a
    // protocol error.
    if (zwlr_layer_shell_v1_get_version(layerShell) >= ZWLR_LAYER_SHELL_V1_DESTROY_SINCE_VERSION) {
      zwlr_layer_shell_v1_destroy(layerShell);
    } else {
      wl_proxy_destroy(reinterpret_cast<wl_proxy*>(layerShell));
    }
  }
  if (inputInhibitor != nullptr) zwlr_input_inhibit_manager_v1_destroy(inputInhibitor);
  if (wlrPower != nullptr) zwlr_output_power_manager_v1_destroy(wlrPower);
  if (kdeDpms != nullptr) org_kde_kwin_dpms_manager_destroy(kdeDpms);
  if (idleNotifier != nullptr) ext_idle_notifier_v1_destroy(idleNotifier);
  if (kdeIdle != nullptr) org_kde_kwin_idle_destroy(kdeIdle);
  if (wmBase != nullptr) xdg_wm_base_destroy(wmBase);
  if (activation != nullptr) xdg_activation_v1_destroy(activation);
  wl_registry_destroy(registry_);
}

void Globals::added(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                    std::uint32_t version) {
  auto& self = *static_cast<Globals*>(data);
  const std::string_view offered = interface;
  if (offered == wl_seat_interface.name) {
    // Version 5 has every pointer and keyboard event the hold listens to.
    auto seat = std::make_unique<Seat>(
        Seat{&self, bind<wl_seat>(registry, name, wl_seat_interface, version, 5), name});
    wl_seat_add_listener(seat->seat, &kSeatListener, seat.get());
    self.seats.push_back(std::move(seat));
  } else if (offered == wl_output_interface.name) {
    self.outputs.push_back({bind<wl_output>(registry, name, wl_output_interface, version,
                                            WL_OUTPUT_RELEASE_SINCE_VERSION),
                            name});
    if (self.outputAdded) self.outputAdded(self.outputs.back().output);
  } else if (offered == wl_compositor_interface.name) {
    self.compositor = bind<wl_compositor>(registry, name, wl_compositor_interface, version, 4);
  } else if (offered == wl_shm_interface.name) {
    self.shm = bind<wl_shm>(registry, name, wl_shm_interface, version, 1);
  } else if (offered == zwlr_layer_shell_v1_interface.name) {
    // Version 3 brings the manager's destroy; nothing later is used.
    self.layerShell =
        bind<zwlr_layer_shell_v1>(registry, name, zwlr_layer_shell_v1_interface, version, 3);
  } else if (offered == zwlr_input_inhibit_manager_v1_interface.name) {
    self.inputInhibitor = bind<zwlr_input_inhibit_manager_v1>(
        registry, name, zwlr_input_inhibit_manager_v1_interface, version, 1);
  } else if (offered == zwlr_output_power_manager_v1_interface.name) {
    self.wlrPower = bind<zwlr_output_power_manager_v1>(
        registry, name, zwlr_output_power_manager_v1_interface, version, 1);
  } else if (offered == org_kde_kwin_dpms_manager_interface.name) {
    self.kdeDpms = bind<org_kde_kwin_dpms_manager>(registry, name,
                                                   org_kde_kwin_dpms_manager_interface, version, 1);
  } else if (offered == ext_idle_notifier_v1_interface.name) {
    // Version 2 tells of input even while another client inhibits idle.
    self.idleNotifier =
        bind<ext_idle_notifier_v1>(registry, name, ext_idle_notifier_v1_interface, version, 2);
  } else if (offered == xdg_wm_base_interface.name) {
    self.wmBase = bind<xdg_wm_base>(registry, name, xdg_wm_base_interface, version, 1);
    xdg_wm_base_add_listener(self.wmBase, &kWmBaseListener, nullptr);
  } else if (offered == xdg_activation_v1_interface.name) {
    self.activation =
        bind<xdg_activation_v1>(registry, name, xdg_activation_v1_interface, version, 1);
  } else if (offered == org_kde_kwin_idle_interface.name) {
    self.kdeIdle = bind<org_kde_kwin_idle>(registry, name, org_kde_kwin_idle_interface, version, 1);
  }
}

void Globals::removed(void* data, wl_registry* /*registry*/, std::uint32_t name) {
  auto& self = *static_cast<Globals*>(data);
  const auto output = std::find_if(self.outputs.begin(), self.outputs.end(),
                                   [name](const Output& o) { return o.name == name; });
  if (output != self.outputs.end()) {
    if (self.outputGone) self.outputGone(output->output);
    releaseOutput(output->output);
    self.outputs.erase(output);
  }
  // A seat that goes keeps its object, unused, until the end: what listens to
  // its input holds objects made from it.
}

}  // namespace platform::linux_desktop::wayland
