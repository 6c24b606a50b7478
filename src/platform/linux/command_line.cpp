#include "platform/linux/command_line.h"

#include <algorithm>
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

std::vector<std::u16string> ownArguments(int argc, char** argv) {
  std::vector<std::u16string> own;
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
        ++i;
        continue;
      }
    }
    own.push_back(fromFileName(arg));
  }
  return own;
}

}  // namespace platform::linux_desktop
