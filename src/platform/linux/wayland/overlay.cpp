#include "platform/linux/wayland/overlay.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

#include "platform/linux/wayland/inhibitor_probe.h"
#include "wlr-input-inhibitor-unstable-v1-client.h"
#include "wlr-layer-shell-unstable-v1-client.h"
#include "xdg-activation-v1-client.h"
#include "xdg-shell-client.h"

namespace platform::linux_desktop::wayland {

struct Overlay::Surface {
  wl_shm* shm = nullptr;
  wl_output* output = nullptr;
  wl_surface* surface = nullptr;
  zwlr_layer_surface_v1* layer = nullptr;
  // Where there is no layer shell: a full-screen window.
  xdg_surface* window = nullptr;
  xdg_toplevel* toplevel = nullptr;
  wl_buffer* buffer = nullptr;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  // The window's size as the compositor last asked for it.
  std::uint32_t askedWidth = 0;
  std::uint32_t askedHeight = 0;

  ~Surface() {
    if (layer != nullptr) zwlr_layer_surface_v1_destroy(layer);
    if (toplevel != nullptr) xdg_toplevel_destroy(toplevel);
    if (window != nullptr) xdg_surface_destroy(window);
    if (surface != nullptr) wl_surface_destroy(surface);
    if (buffer != nullptr) wl_buffer_destroy(buffer);
  }

  // Black: a new file's bytes are zero, which XRGB reads as black.
  wl_buffer* blackBuffer() const {
    const std::uint32_t stride = width * 4;
    const int fd = memfd_create("tenebrolite-overlay", MFD_CLOEXEC);
    if (fd < 0) return nullptr;
    wl_buffer* made = nullptr;
    const auto size = static_cast<std::int32_t>(stride * height);
    if (::ftruncate(fd, size) == 0) {
      wl_shm_pool* pool = wl_shm_create_pool(shm, fd, size);
      made = wl_shm_pool_create_buffer(pool, 0, static_cast<std::int32_t>(width),
                                       static_cast<std::int32_t>(height),
                                       static_cast<std::int32_t>(stride), WL_SHM_FORMAT_XRGB8888);
      wl_shm_pool_destroy(pool);
    }
    ::close(fd);
    return made;
  }

  // A black picture of the size asked for, once acknowledged.
  void fill(std::uint32_t newWidth, std::uint32_t newHeight) {
    if (newWidth != width || newHeight != height || buffer == nullptr) {
      width = newWidth;
      height = newHeight;
      wl_buffer* black = width > 0 && height > 0 ? blackBuffer() : nullptr;
      if (black == nullptr) return;
      if (buffer != nullptr) wl_buffer_destroy(buffer);
      buffer = black;
      wl_surface_attach(surface, black, 0, 0);
      wl_surface_damage(surface, 0, 0, INT32_MAX, INT32_MAX);
    }
    wl_surface_commit(surface);
  }

  static void configure(void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial,
                        std::uint32_t width, std::uint32_t height) {
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    static_cast<Surface*>(data)->fill(width, height);
  }

  static void closed(void* data, zwlr_layer_surface_v1* layer) {
    auto& self = *static_cast<Surface*>(data);
    zwlr_layer_surface_v1_destroy(layer);
    self.layer = nullptr;
  }

  static void windowConfigure(void* data, xdg_surface* window, std::uint32_t serial) {
    auto& self = *static_cast<Surface*>(data);
    xdg_surface_ack_configure(window, serial);
    // A full-screen window is asked for its output's size.
    if (self.askedWidth > 0 && self.askedHeight > 0) self.fill(self.askedWidth, self.askedHeight);
  }
  static void toplevelConfigure(void* data, xdg_toplevel* /*toplevel*/, std::int32_t width,
                                std::int32_t height, wl_array* /*states*/) {
    auto& self = *static_cast<Surface*>(data);
    self.askedWidth = static_cast<std::uint32_t>(std::max(width, 0));
    self.askedHeight = static_cast<std::uint32_t>(std::max(height, 0));
  }
  static void toplevelClose(void* /*data*/, xdg_toplevel* /*toplevel*/) {}
};

namespace {

constexpr zwlr_layer_surface_v1_listener kLayerListener = {Overlay::Surface::configure,
                                                           Overlay::Surface::closed};
// The listeners of interfaces whose descriptions come with the system name
// the events they handle: a later version's events, which an object bound at
// an earlier version never gets, stay null, and a newer description's added
// members still build.
constexpr xdg_surface_listener kWindowListener = [] {
  xdg_surface_listener listener{};
  listener.configure = Overlay::Surface::windowConfigure;
  return listener;
}();
// Bound at version 1: the later events never come.
constexpr xdg_toplevel_listener kToplevelListener = [] {
  xdg_toplevel_listener listener{};
  listener.configure = Overlay::Surface::toplevelConfigure;
  listener.close = Overlay::Surface::toplevelClose;
  return listener;
}();

// The pointer's and the keyboard's events: those that are the user's input
// count, entering and leaving the surface does not.
void pointerEnter(void*, wl_pointer*, std::uint32_t, wl_surface*, wl_fixed_t, wl_fixed_t) {}
void pointerLeave(void*, wl_pointer*, std::uint32_t, wl_surface*) {}
void pointerMotion(void* data, wl_pointer*, std::uint32_t, wl_fixed_t, wl_fixed_t) {
  Overlay::input(data);
}
void pointerButton(void* data, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t,
                   std::uint32_t) {
  Overlay::input(data);
}
void pointerAxis(void* data, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) {
  Overlay::input(data);
}
void pointerFrame(void*, wl_pointer*) {}
void pointerAxisSource(void*, wl_pointer*, std::uint32_t) {}
void pointerAxisStop(void*, wl_pointer*, std::uint32_t, std::uint32_t) {}
void pointerAxisDiscrete(void*, wl_pointer*, std::uint32_t, std::int32_t) {}
// Seats are bound at version 5: the later events never come.
constexpr wl_pointer_listener kPointerListener = [] {
  wl_pointer_listener listener{};
  listener.enter = pointerEnter;
  listener.leave = pointerLeave;
  listener.motion = pointerMotion;
  listener.button = pointerButton;
  listener.axis = pointerAxis;
  listener.frame = pointerFrame;
  listener.axis_source = pointerAxisSource;
  listener.axis_stop = pointerAxisStop;
  listener.axis_discrete = pointerAxisDiscrete;
  return listener;
}();

void keymap(void*, wl_keyboard*, std::uint32_t, std::int32_t fd, std::uint32_t) {
  ::close(fd);
}
void keyboardEnter(void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {}
void keyboardLeave(void*, wl_keyboard*, std::uint32_t, wl_surface*) {}
void key(void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {
  Overlay::input(data);
}
void modifiers(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
               std::uint32_t) {}
void repeatInfo(void*, wl_keyboard*, std::int32_t, std::int32_t) {}
constexpr wl_keyboard_listener kKeyboardListener = [] {
  wl_keyboard_listener listener{};
  listener.keymap = keymap;
  listener.enter = keyboardEnter;
  listener.leave = keyboardLeave;
  listener.key = key;
  listener.modifiers = modifiers;
  listener.repeat_info = repeatInfo;
  return listener;
}();

constexpr std::uint32_t kAllEdges =
    ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
    ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT;

}  // namespace

Overlay::Overlay(Globals& globals, std::function<void()> onInput)
    : globals_(globals), onInput_(std::move(onInput)) {}

Overlay::~Overlay() {
  hide();
}

void Overlay::input(void* data) {
  static_cast<Overlay*>(data)->onInput_();
}

bool Overlay::possible() const {
  return (globals_.layerShell != nullptr || globals_.wmBase != nullptr) &&
         globals_.compositor != nullptr && globals_.shm != nullptr;
}

void Overlay::show(const std::string& activationToken) {
  if (!possible() || shown_) return;
  for (const Globals::Output& output : globals_.outputs) cover(output.output);
  shown_ = true;
  seatsChanged();
  if (globals_.inputInhibitor != nullptr && !inputInhibitedByAnother()) {
    inhibitor_ = zwlr_input_inhibit_manager_v1_get_inhibitor(globals_.inputInhibitor);
  }
  // A window takes the keyboard where the compositor lets it: with a token
  // from what the user last touched (the panel, a launcher).
  if (globals_.layerShell == nullptr && globals_.activation != nullptr &&
      !activationToken.empty() && !surfaces_.empty()) {
    xdg_activation_v1_activate(globals_.activation, activationToken.c_str(),
                               surfaces_.front()->surface);
  }
}

void Overlay::outputAdded(wl_output* output) {
  if (shown_) cover(output);
}

void Overlay::cover(wl_output* output) {
  auto surface = std::make_unique<Surface>(Surface{globals_.shm, output});
  surface->surface = wl_compositor_create_surface(globals_.compositor);
  if (globals_.layerShell != nullptr) {
    surface->layer =
        zwlr_layer_shell_v1_get_layer_surface(globals_.layerShell, surface->surface, output,
                                              ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "tenebrolite");
    zwlr_layer_surface_v1_add_listener(surface->layer, &kLayerListener, surface.get());
    zwlr_layer_surface_v1_set_size(surface->layer, 0, 0);
    zwlr_layer_surface_v1_set_anchor(surface->layer, kAllEdges);
    // Over panels too: no other surface's exclusive zone moves it.
    zwlr_layer_surface_v1_set_exclusive_zone(surface->layer, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(
        surface->layer, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
  } else {
    surface->window = xdg_wm_base_get_xdg_surface(globals_.wmBase, surface->surface);
    xdg_surface_add_listener(surface->window, &kWindowListener, surface.get());
    surface->toplevel = xdg_surface_get_toplevel(surface->window);
    xdg_toplevel_add_listener(surface->toplevel, &kToplevelListener, surface.get());
    xdg_toplevel_set_title(surface->toplevel, "Tenebrolite");
    xdg_toplevel_set_app_id(surface->toplevel, "example.velmarind.Tenebrolite");
    xdg_toplevel_set_fullscreen(surface->toplevel, output);
  }
  // Without a buffer: the compositor answers with the size to fill.
  wl_surface_commit(surface->surface);
  surfaces_.push_back(std::move(surface));
}

void Overlay::hide() {
  if (inhibitor_ != nullptr) zwlr_input_inhibitor_v1_destroy(inhibitor_);
  inhibitor_ = nullptr;
  for (SeatInput& input : inputs_) release(input, true, true);
  inputs_.clear();
  shown_ = false;
  surfaces_.clear();
}

void Overlay::seatsChanged() {
  if (!shown_) return;
  for (const auto& seat : globals_.seats) {
    auto input = std::find_if(inputs_.begin(), inputs_.end(),
                              [&](const SeatInput& i) { return i.seat == seat.get(); });
    if (input == inputs_.end()) input = inputs_.insert(inputs_.end(), SeatInput{seat.get()});
    const bool pointer = (seat->capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
    const bool keyboard = (seat->capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
    release(*input, !pointer, !keyboard);
    if (pointer && input->pointer == nullptr) {
      input->pointer = wl_seat_get_pointer(seat->seat);
      wl_pointer_add_listener(input->pointer, &kPointerListener, this);
    }
    if (keyboard && input->keyboard == nullptr) {
      input->keyboard = wl_seat_get_keyboard(seat->seat);
      wl_keyboard_add_listener(input->keyboard, &kKeyboardListener, this);
    }
  }
}

void Overlay::release(SeatInput& input, bool pointer, bool keyboard) {
  if (pointer && input.pointer != nullptr) {
    if (wl_pointer_get_version(input.pointer) >= WL_POINTER_RELEASE_SINCE_VERSION) {
      wl_pointer_release(input.pointer);
    } else {
      wl_pointer_destroy(input.pointer);
    }
    input.pointer = nullptr;
  }
  if (keyboard && input.keyboard != nullptr) {
    if (wl_keyboard_get_version(input.keyboard) >= WL_KEYBOARD_RELEASE_SINCE_VERSION) {
      wl_keyboard_release(input.keyboard);
    } else {
      wl_keyboard_destroy(input.keyboard);
    }
    input.keyboard = nullptr;
  }
}

void Overlay::outputGone(wl_output* output) {
  std::erase_if(surfaces_, [output](const auto& surface) { return surface->output == output; });
}

}  // namespace platform::linux_desktop::wayland
