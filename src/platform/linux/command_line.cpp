#include "platform/linux/command_line.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "platform/linux/utf8.h"

namespace platform::linux_desktop {
namespace {

// What QApplication takes out of argv in Qt 6.4 (measured with 6.4.2): its own
// options and QGuiApplication's, then those of the xcb platform from "display"
// on; the Wayland platform takes none. "dialogs" and "fontengine" are
// parameters of the Windows platform (-platform windows:dialogs=xp), not options.
constexpr std::string_view kQtWithValue[] = {"platform",      "platformpluginpath",
                                             "platformtheme", "plugin",
                                             "qmljsdebugger", "qwindowgeometry",
                                             "qwindowicon",   "qwindowtitle",
                                             "session",       "style",
                                             "stylesheet",    "display",
                                             "geometry",      "title",
                                             "icon",          "name",
                                             "visual"};
constexpr std::string_view kQtAlone[] = {"reverse", "testability", "widgetcount", "qdevel",
                                         "qdebug",  "nograb",      "dograb"};
// The only ones that also take their value after an "=", as in -style=fusion.
constexpr std::string_view kQtWithEquals[] = {"qmljsdebugger", "style", "stylesheet"};

bool among(std::string_view name, const auto& names) {
  return std::ranges::find(names, name) != std::end(names);
}

}  // namespace

Arguments readArguments(int argc, char** argv) {
  Arguments read;
  const char* display = std::getenv("DISPLAY");
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    std::string_view name = arg;
    if (name.starts_with("--")) name.remove_prefix(1);
    if (name.starts_with('-') && !name.starts_with("--")) {
      name.remove_prefix(1);
      const std::size_t equals = name.find('=');
      if (equals != std::string_view::npos && among(name.substr(0, equals), kQtWithEquals))
        continue;
      if (among(name, kQtAlone)) continue;
      // Last, without its value, an option is the program's, and so unknown.
      if (among(name, kQtWithValue) && i + 1 < argc) {
        if (name == "display") display = argv[i + 1];
        ++i;
        continue;
      }
    }
    read.own.push_back(fromFileName(arg));
  }
  read.x11Display = display != nullptr ? display : "";
  return read;
}

}  // namespace platform::linux_desktop
