#include "platform/linux/command_line.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "platform/linux/utf8.h"

namespace platform::linux_desktop {
namespace {

// Qt's documented options and those of its xcb platform.
constexpr std::string_view kQtWithValue[] = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",    "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "style",     "stylesheet",
    "display",     "geometry",           "title",         "icon",      "name",
    "visual",      "qmljsdebugger",      "dialogs",       "fontengine"};
constexpr std::string_view kQtAlone[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

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
      if (equals != std::string_view::npos && among(name.substr(0, equals), kQtWithValue)) continue;
      if (among(name, kQtAlone)) continue;
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
