#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "platform/window.h"

namespace tray {

// The command each entry of the popup sends back when chosen.
enum class MenuCommand : int {
  None = 0,
  OffBtn2 = 101,
  Holdit,
  Help,
  About,
  DoNoting,
  Exit,
};

struct MenuItem {
  std::u16string_view name;
  std::u16string_view caption;  // a lone "-" is a separator
  MenuCommand command;
};

// bMenu, the popup of the notification icon, in order. Fixed for the run: no
// access keys, no check marks, everything enabled.
inline constexpr std::array<MenuItem, 7> kBMenu{{
    {u"mnuOffBtn2", u"Switch Off", MenuCommand::OffBtn2},
    {u"mnuHoldit", u"Anti shake", MenuCommand::Holdit},
    {u"sep1", u"-", MenuCommand::None},
    {u"mnuHelp", u"Help", MenuCommand::Help},
    {u"mnuAbout", u"About", MenuCommand::About},
    {u"mnuDoNoting", u"Close", MenuCommand::DoNoting},
    {u"mnuExit", u"Exit", MenuCommand::Exit},
}};

// The popup's entries as the windowing layer shows them.
std::vector<platform::MenuEntry> popupEntries();

}  // namespace tray
