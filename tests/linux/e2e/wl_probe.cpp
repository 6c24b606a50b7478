// A Wayland client for the tests, on the compositor at WAYLAND_DISPLAY:
//   wl_probe window FILE   a window that writes "mapped" to FILE when it is,
//                          "ready" when it has the keyboard, "key" for each
//                          key pressed, "button" for each button pressed,
//                          and "token T" once: an activation token
//   wl_probe pointer       a virtual pointer, there from the start as a mouse
//                          is: says "ready", then moves for each empty line
//                          read, and for "X Y WIDTH HEIGHT [BUTTON COUNT]"
//                          goes to X,Y of a layout of that size and clicks
//                          the button (272 left, 273 right) COUNT times, and
//                          for "key CODE..." presses those keys in turn and
//                          lets them go; says "moved" once the compositor has
//                          it. wlroots' virtual pointer (no keys), or KWin's
//                          fake input, where KWin lets any client use it
//   wl_probe inhibit FILE  holds the input inhibitor, as a screen locker does,
//                          writes "inhibiting" to FILE ("none offered" where
//                          the compositor has none), and waits to be ended
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "fake-input-client.h"
#include "wlr-input-inhibitor-unstable-v1-client.h"
#include "wlr-virtual-pointer-unstable-v1-client.h"
#include "xdg-activation-v1-client.h"
#include "xdg-shell-client.h"

namespace {

struct Probe {
  wl_compositor* compositor = nullptr;
  wl_shm* shm = nullptr;
  wl_seat* seat = nullptr;
  xdg_wm_base* shell = nullptr;
  xdg_activation_v1* activation = nullptr;
  wl_surface* surface = nullptr;
  bool tokenAsked = false;
  zwlr_virtual_pointer_manager_v1* pointers = nullptr;
  zwlr_input_inhibit_manager_v1* inhibitors = nullptr;
  org_kde_kwin_fake_input* fake = nullptr;
  wl_keyboard* keyboard = nullptr;
  wl_pointer* windowPointer = nullptr;
  FILE* out = nullptr;
};

void global(void* data, wl_registry* registry, uint32_t name, const char* interface,
            uint32_t version) {
  auto& p = *static_cast<Probe*>(data);
  const std::string_view is = interface;
  auto bind = [&](const wl_interface& i) { return wl_registry_bind(registry, name, &i, 1); };
  if (is == "wl_compositor")
    p.compositor = static_cast<wl_compositor*>(bind(wl_compositor_interface));
  if (is == "wl_shm") p.shm = static_cast<wl_shm*>(bind(wl_shm_interface));
  if (is == "wl_seat" && p.seat == nullptr) p.seat = static_cast<wl_seat*>(bind(wl_seat_interface));
  if (is == "xdg_wm_base") p.shell = static_cast<xdg_wm_base*>(bind(xdg_wm_base_interface));
  if (is == "xdg_activation_v1") {
    p.activation = static_cast<xdg_activation_v1*>(bind(xdg_activation_v1_interface));
  }
  if (is == "zwlr_virtual_pointer_manager_v1") {
    p.pointers = static_cast<zwlr_virtual_pointer_manager_v1*>(
        bind(zwlr_virtual_pointer_manager_v1_interface));
  }
  if (is == "zwlr_input_inhibit_manager_v1") {
    p.inhibitors =
        static_cast<zwlr_input_inhibit_manager_v1*>(bind(zwlr_input_inhibit_manager_v1_interface));
  }
  if (is == "org_kde_kwin_fake_input" && version >= 4) {  // keys and absolute moves
    p.fake = static_cast<org_kde_kwin_fake_input*>(
        wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
  }
}
void globalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistry = {global, globalRemove};

void ping(void*, xdg_wm_base* shell, uint32_t serial) {
  xdg_wm_base_pong(shell, serial);
}
const xdg_wm_base_listener kShell = {ping};

void configure(void*, xdg_surface* surface, uint32_t serial) {
  xdg_surface_ack_configure(surface, serial);
}
const xdg_surface_listener kSurface = {configure};

void keymap(void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t) {
  close(fd);
}
void tokenDone(void* data, xdg_activation_token_v1* token, const char* text) {
  std::fprintf(static_cast<Probe*>(data)->out, "token %s\n", text);
  xdg_activation_token_v1_destroy(token);
}
const xdg_activation_token_v1_listener kToken = {tokenDone};

// With the keyboard, the window asks once for an activation token, as a
// launcher does for the program it starts.
void enter(void* data, wl_keyboard*, uint32_t serial, wl_surface*, wl_array*) {
  auto& p = *static_cast<Probe*>(data);
  std::fputs("ready\n", p.out);
  if (p.activation == nullptr || p.tokenAsked) return;
  p.tokenAsked = true;
  xdg_activation_token_v1* token = xdg_activation_v1_get_activation_token(p.activation);
  xdg_activation_token_v1_add_listener(token, &kToken, &p);
  xdg_activation_token_v1_set_serial(token, serial, p.seat);
  xdg_activation_token_v1_set_surface(token, p.surface);
  xdg_activation_token_v1_commit(token);
}
void leave(void*, wl_keyboard*, uint32_t, wl_surface*) {}
void key(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t state) {
  if (state == WL_KEYBOARD_KEY_STATE_PRESSED) std::fputs("key\n", static_cast<Probe*>(data)->out);
}
void modifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
// Named events only: a newer libwayland's added ones (not sent at the
// version bound) stay null and still build.
const wl_keyboard_listener kKeyboard = [] {
  wl_keyboard_listener l{};
  l.keymap = keymap, l.enter = enter, l.leave = leave, l.key = key, l.modifiers = modifiers;
  return l;
}();

void pointerEnter(void*, wl_pointer*, uint32_t, wl_surface*, wl_fixed_t, wl_fixed_t) {}
void pointerLeave(void*, wl_pointer*, uint32_t, wl_surface*) {}
void pointerMotion(void*, wl_pointer*, uint32_t, wl_fixed_t, wl_fixed_t) {}
void button(void* data, wl_pointer*, uint32_t, uint32_t, uint32_t, uint32_t state) {
  if (state == WL_POINTER_BUTTON_STATE_PRESSED) {
    std::fputs("button\n", static_cast<Probe*>(data)->out);
  }
}
void axis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
const wl_pointer_listener kPointer = [] {
  wl_pointer_listener l{};
  l.enter = pointerEnter, l.leave = pointerLeave, l.motion = pointerMotion, l.button = button;
  l.axis = axis;
  return l;
}();

// A seat without devices has no keyboard until one (wtype's) is plugged in.
void capabilities(void* data, wl_seat* seat, uint32_t caps) {
  auto& p = *static_cast<Probe*>(data);
  if ((caps & WL_SEAT_CAPABILITY_POINTER) != 0 && p.windowPointer == nullptr) {
    p.windowPointer = wl_seat_get_pointer(seat);
    wl_pointer_add_listener(p.windowPointer, &kPointer, &p);
  }
  if ((caps & WL_SEAT_CAPABILITY_KEYBOARD) != 0 && p.keyboard == nullptr) {
    p.keyboard = wl_seat_get_keyboard(seat);
    wl_keyboard_add_listener(p.keyboard, &kKeyboard, &p);
  } else if ((caps & WL_SEAT_CAPABILITY_KEYBOARD) == 0 && p.keyboard != nullptr) {
    wl_keyboard_destroy(p.keyboard);
    p.keyboard = nullptr;
  }
}
void seatName(void*, wl_seat*, const char*) {}
const wl_seat_listener kSeat = {capabilities, seatName};

int window(wl_display* display, Probe& p, const char* file) {
  p.out = std::fopen(file, "w");
  if (p.out == nullptr || p.shell == nullptr || p.shm == nullptr) return 1;
  std::setvbuf(p.out, nullptr, _IOLBF, 0);
  xdg_wm_base_add_listener(p.shell, &kShell, &p);
  wl_seat_add_listener(p.seat, &kSeat, &p);
  wl_surface* surface = wl_compositor_create_surface(p.compositor);
  p.surface = surface;
  xdg_surface* role = xdg_wm_base_get_xdg_surface(p.shell, surface);
  xdg_surface_add_listener(role, &kSurface, &p);
  xdg_toplevel_set_title(xdg_surface_get_toplevel(role), "wl_probe");
  wl_surface_commit(surface);
  wl_display_roundtrip(display);
  const int size = 64 * 64 * 4;
  const int fd = memfd_create("wl_probe", MFD_CLOEXEC);
  if (ftruncate(fd, size) != 0) return 1;
  wl_shm_pool* pool = wl_shm_create_pool(p.shm, fd, size);
  wl_surface_attach(surface,
                    wl_shm_pool_create_buffer(pool, 0, 64, 64, 256, WL_SHM_FORMAT_XRGB8888), 0, 0);
  wl_surface_commit(surface);
  wl_display_roundtrip(display);
  std::fputs("mapped\n", p.out);
  while (wl_display_dispatch(display) != -1) {
  }
  return 0;
}

int pointer(wl_display* display, Probe& p) {
  zwlr_virtual_pointer_v1* pointer =
      p.pointers != nullptr
          ? zwlr_virtual_pointer_manager_v1_create_virtual_pointer(p.pointers, p.seat)
          : nullptr;
  if (pointer == nullptr && p.fake == nullptr) return 1;
  if (pointer == nullptr)
    org_kde_kwin_fake_input_authenticate(p.fake, "wl_probe", "a test's input");
  if (wl_display_roundtrip(display) < 0) return 1;
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  std::puts("ready");
  char line[64];
  while (std::fgets(line, sizeof line, stdin) != nullptr) {
    unsigned x = 0, y = 0, width = 0, height = 0, button = 0, count = 0;
    unsigned keys[4];
    const int chord = std::sscanf(line, "key %u %u %u %u", &keys[0], &keys[1], &keys[2], &keys[3]);
    if (chord > 0) {
      if (p.fake == nullptr) return 1;
      for (int i = 0; i < 2 * chord; ++i) {
        const bool down = i < chord;
        org_kde_kwin_fake_input_keyboard_key(p.fake, keys[down ? i : 2 * chord - 1 - i], down);
      }
    } else if (std::sscanf(line, "%u %u %u %u %u %u", &x, &y, &width, &height, &button, &count) >=
               4) {
      if (pointer != nullptr) {
        zwlr_virtual_pointer_v1_motion_absolute(pointer, 0, x, y, width, height);
      } else {
        org_kde_kwin_fake_input_pointer_motion_absolute(p.fake, wl_fixed_from_int(int(x)),
                                                        wl_fixed_from_int(int(y)));
      }
    } else if (pointer != nullptr) {
      zwlr_virtual_pointer_v1_motion(pointer, 0, wl_fixed_from_int(5), wl_fixed_from_int(5));
    } else {
      org_kde_kwin_fake_input_pointer_motion(p.fake, wl_fixed_from_int(5), wl_fixed_from_int(5));
    }
    if (pointer != nullptr) zwlr_virtual_pointer_v1_frame(pointer);
    // Clicks as a hand makes them: a double click's second comes 150 ms after
    // the first, with times that say so.
    for (unsigned i = 0; i < 2 * count; ++i) {
      if (i > 0 && i % 2 == 0) usleep(150000);
      const auto time =
          static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                    std::chrono::steady_clock::now().time_since_epoch())
                                    .count());
      const uint32_t state = i % 2 == 0 ? 1 : 0;
      if (pointer != nullptr) {
        zwlr_virtual_pointer_v1_button(pointer, time, button, state);
        zwlr_virtual_pointer_v1_frame(pointer);
      } else {
        org_kde_kwin_fake_input_button(p.fake, button, state);
      }
      if (wl_display_roundtrip(display) < 0) return 1;
    }
    if (wl_display_roundtrip(display) < 0) return 1;
    std::puts("moved");
  }
  return 0;
}

int inhibit(wl_display* display, Probe& p, const char* file) {
  if (p.inhibitors != nullptr) zwlr_input_inhibit_manager_v1_get_inhibitor(p.inhibitors);
  if (wl_display_roundtrip(display) < 0) return 1;
  FILE* out = std::fopen(file, "w");
  if (out == nullptr) return 1;
  std::fputs(p.inhibitors != nullptr ? "inhibiting\n" : "none offered\n", out);
  std::fclose(out);
  while (wl_display_dispatch(display) != -1) {
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr || argc < 2) return 2;
  Probe p;
  wl_registry_add_listener(wl_display_get_registry(display), &kRegistry, &p);
  wl_display_roundtrip(display);
  if (p.seat == nullptr || p.compositor == nullptr) return 1;
  if (std::strcmp(argv[1], "window") == 0 && argc == 3) return window(display, p, argv[2]);
  if (std::strcmp(argv[1], "pointer") == 0) return pointer(display, p);
  if (std::strcmp(argv[1], "inhibit") == 0 && argc == 3) return inhibit(display, p, argv[2]);
  return 2;
}
