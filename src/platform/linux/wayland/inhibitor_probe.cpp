#include "platform/linux/wayland/inhibitor_probe.h"

#include <wayland-client.h>

#include <cstdint>
#include <string_view>

#include "wlr-input-inhibitor-unstable-v1-client.h"

namespace platform::linux_desktop::wayland {
namespace {

void added(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
           std::uint32_t /*version*/) {
  if (std::string_view(interface) == zwlr_input_inhibit_manager_v1_interface.name) {
    *static_cast<zwlr_input_inhibit_manager_v1**>(data) =
        static_cast<zwlr_input_inhibit_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_input_inhibit_manager_v1_interface, 1));
  }
}
void removed(void* /*data*/, wl_registry* /*registry*/, std::uint32_t /*name*/) {}
constexpr wl_registry_listener kListener = [] {
  wl_registry_listener listener{};
  listener.global = added;
  listener.global_remove = removed;
  return listener;
}();

}  // namespace

bool inputInhibitedByAnother() {
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) return true;
  zwlr_input_inhibit_manager_v1* manager = nullptr;
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &kListener, &manager);
  bool held = wl_display_roundtrip(display) < 0 || manager == nullptr;
  if (!held) {
    zwlr_input_inhibitor_v1* inhibitor = zwlr_input_inhibit_manager_v1_get_inhibitor(manager);
    // The error comes before the answer to the round trip.
    held = wl_display_roundtrip(display) < 0;
    zwlr_input_inhibitor_v1_destroy(inhibitor);
  }
  // On a broken connection these only free the objects here.
  if (manager != nullptr) wl_proxy_destroy(reinterpret_cast<wl_proxy*>(manager));
  wl_registry_destroy(registry);
  wl_display_disconnect(display);
  return held;
}

}  // namespace platform::linux_desktop::wayland
