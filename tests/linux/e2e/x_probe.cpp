// What the end-to-end tests need to see of the X server:
//   x_probe saver        prints the screen saver's state: "on" or "off"
//   x_probe grabbed      prints "yes" when another client holds the keyboard
//   x_probe window LOG   shows a focused window and appends each key it gets
//                        to LOG, one keycode a line, until it is killed
#include <xcb/screensaver.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void note(const char* path, const char* line) {
  if (FILE* log = std::fopen(path, "a")) {
    std::fputs(line, log);
    std::fclose(log);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) return 1;
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  if (std::strcmp(argv[1], "saver") == 0) {
    auto* info =
        xcb_screensaver_query_info_reply(c, xcb_screensaver_query_info(c, screen->root), nullptr);
    if (info == nullptr) return 1;
    std::puts(info->state == XCB_SCREENSAVER_STATE_ON ? "on" : "off");
    std::free(info);
    return 0;
  }
  if (std::strcmp(argv[1], "grabbed") == 0) {
    auto* grab =
        xcb_grab_keyboard_reply(c,
                                xcb_grab_keyboard(c, 0, screen->root, XCB_CURRENT_TIME,
                                                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                nullptr);
    if (grab == nullptr) return 1;
    std::puts(grab->status == XCB_GRAB_STATUS_ALREADY_GRABBED ? "yes" : "no");
    std::free(grab);
    xcb_ungrab_keyboard(c, XCB_CURRENT_TIME);
    xcb_flush(c);
    return 0;
  }
  if (argc < 3) return 2;
  if (std::strcmp(argv[1], "window") != 0) return 2;
  const xcb_window_t window = xcb_generate_id(c);
  const std::uint32_t events = XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_EXPOSURE;
  // Below the panel along the top of the screen.
  xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 200, 200, 100, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_EVENT_MASK, &events);
  xcb_map_window(c, window);
  xcb_flush(c);
  bool focused = false;
  while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
    const int type = event->response_type & 0x7F;
    if (type == XCB_EXPOSE && !focused) {
      focused = true;
      xcb_set_input_focus(c, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
      xcb_flush(c);
      note(argv[2], "ready\n");
    }
    if (type == XCB_KEY_PRESS) {
      char line[16];
      std::snprintf(line, sizeof line, "%d\n",
                    reinterpret_cast<xcb_key_press_event_t*>(event)->detail);
      note(argv[2], line);
    }
    std::free(event);
  }
  return 0;
}
