#include "tray/form1.h"

#include <gtest/gtest.h>

#include <tuple>

#include "fakes.h"
#include "info/help_about.h"

namespace tray {
namespace {

using fakes::Log;
using namespace platform;

const Log kSwitchOff = {"send:16,274,61808,2", "dispatch", "block", "sleep:0", "unblock"};

TEST(Form1, TheIconKeepsItsRecordWhenReAddedOrGivenANewPicture) {
  fakes::World world;
  world.application.Main();
  world.windows.icon = 33;
  world.windows.main->onDpiChanged();
  world.windows.main->onTaskbarCreated();  // Explorer restarted
  EXPECT_EQ(world.log, (Log{"load:Tenebrolite", "hide:16", "nim:add", "nim:modify", "nim:add"}));
  ASSERT_EQ(world.shell.records.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    const TrayIconData& r = world.shell.records[i];
    // Message, icon and tip; the callback message is 0x201.
    EXPECT_EQ(std::tuple(r.hWnd, r.uID, r.uFlags, r.uCallbackMessage, r.hIcon, r.szTip),
              std::tuple(16u, 1u, 7u, 0x201u, i == 0 ? 32u : 33u, u"Tenebrolite"));
  }
}

TEST(Form1, RoutesEachIconNotification) {
  const std::pair<std::uint32_t, Log> cases[] = {{msg::kLButtonUp, kSwitchOff},
                                                 {msg::kRButtonUp, {"popup:16"}},
                                                 {msg::kLButtonDblClk, {}},
                                                 {msg::kLButtonDown, {}},
                                                 {msg::kRButtonDown, {}},
                                                 {msg::kMouseMove, {}},
                                                 {msg::kMButtonUp, {}},
                                                 {0x20C, {}},
                                                 {0, {}}};
  for (const auto& [mouseMessage, expected] : cases) {
    fakes::World world;
    world.start();
    world.windows.main->onTrayNotification(mouseMessage);
    EXPECT_EQ(world.log, expected) << mouseMessage;
  }
}

TEST(Form1, TheMenusEntriesInOrderEachRunningItsCommand) {
  fakes::World world;
  world.start();
  world.windows.main->onTrayNotification(msg::kRButtonUp);
  // Exit with the dialog open: the icon goes before any window does.
  const std::pair<std::u16string, Log> expected[] = {
      {u"Switch Off", kSwitchOff},
      {u"Anti shake", {"dialog"}},
      {u"", {}},
      {u"Help", {"shell:16,open,C:\\Program Files\\Tenebrolite\\help.html,5"}},
      {u"About", {"box:0,Tenebrolite,4," + fakes::narrow(info::aboutText())}},
      {u"Close", {}},
      {u"Exit", {"nim:delete", "unload:16", "unload:49"}}};
  const std::vector<MenuEntry> entries = world.windows.popup;
  ASSERT_EQ(entries.size(), std::size(expected));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const auto& [caption, log] = expected[i];
    EXPECT_EQ(entries[i].caption, caption);
    EXPECT_EQ(entries[i].separator, caption.empty());
    if (entries[i].separator) continue;
    world.log.clear();
    world.windows.main->onMenuCommand(entries[i].command);
    EXPECT_EQ(world.log, log) << fakes::narrow(caption);
  }
}

}  // namespace
}  // namespace tray
