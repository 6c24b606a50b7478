// What the end-to-end tests need to see of the X server:
//   x_probe saver        prints the screen saver's state: "on" or "off"
//   x_probe grabbed      prints "yes" when another client holds the keyboard
//   x_probe window LOG   shows a focused window and appends each key it gets
//                        to LOG, one keycode a line, until it is killed
//   x_probe tray LOG     a stand-in XEmbed tray: docks each icon that asks and
//                        appends "docked <window>" to LOG, until it is killed
#include <xcb/screensaver.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
  auto* reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
  const xcb_atom_t result = reply != nullptr ? reply->atom : XCB_NONE;
  std::free(reply);
  return result;
}

void note(const char* path, const char* line) {
  if (FILE* log = std::fopen(path, "a")) {
    std::fputs(line, log);
    std::fclose(log);
  }
}

int tray(xcb_connection_t* c, xcb_screen_t* screen, const char* log) {
  const xcb_window_t window = xcb_generate_id(c);
  xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 200, 40, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
  xcb_map_window(c, window);
  const xcb_atom_t selection = atom(c, "_NET_SYSTEM_TRAY_S0");
  const xcb_atom_t opcode = atom(c, "_NET_SYSTEM_TRAY_OPCODE");
  xcb_set_selection_owner(c, window, selection, XCB_CURRENT_TIME);
  xcb_client_message_event_t manager{};
  manager.response_type = XCB_CLIENT_MESSAGE;
  manager.format = 32;
  manager.window = screen->root;
  manager.type = atom(c, "MANAGER");
  manager.data.data32[0] = XCB_CURRENT_TIME;
  manager.data.data32[1] = selection;
  manager.data.data32[2] = window;
  xcb_send_event(c, 0, screen->root, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&manager));
  xcb_flush(c);
  note(log, "tray up\n");
  int docked = 0;
  while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
    const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
    // SYSTEM_TRAY_REQUEST_DOCK is opcode 0; the icon's window comes third.
    if ((event->response_type & 0x7F) == XCB_CLIENT_MESSAGE && message->type == opcode &&
        message->data.data32[1] == 0) {
      const xcb_window_t icon = message->data.data32[2];
      const std::uint32_t size[] = {22, 22};
      xcb_reparent_window(c, icon, window, static_cast<std::int16_t>(4 + 26 * docked++), 9);
      xcb_configure_window(c, icon, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
      xcb_map_window(c, icon);
      xcb_flush(c);
      char line[64];
      std::snprintf(line, sizeof line, "docked %u\n", icon);
      note(log, line);
    }
    std::free(event);
  }
  return 0;
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
  if (std::strcmp(argv[1], "tray") == 0) return tray(c, screen, argv[2]);
  if (std::strcmp(argv[1], "window") != 0) return 2;
  const xcb_window_t window = xcb_generate_id(c);
  const std::uint32_t events = XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_EXPOSURE;
  xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 200, 100, 0,
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
