#include "tray/menu.h"

namespace tray {

std::vector<platform::MenuEntry> popupEntries() {
  std::vector<platform::MenuEntry> entries;
  for (const MenuItem& item : kBMenu) {
    const bool separator = item.caption == u"-";
    entries.push_back(platform::MenuEntry{
        static_cast<int>(item.command), separator ? std::u16string() : std::u16string(item.caption),
        separator});
  }
  return entries;
}

}  // namespace tray
