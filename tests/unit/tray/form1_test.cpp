#include "tray/form1.h"

#include <gtest/gtest.h>

#include <tuple>

#include "fakes.h"

namespace tray {
namespace {

using fakes::Log;
using namespace platform;

const Log kSwitchOff = {"send:16,274,61808,2", "dispatch", "guard on", "block", "sleep:0",
                        "guard off",           "unblock"};

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
  // Left release: the switch-off; right release: the menu; all else: nothing.
  for (const std::uint32_t mouseMessage :
       {msg::kLButtonUp, msg::kRButtonUp, msg::kLButtonDblClk, msg::kLButtonDown, msg::kRButtonDown,
        msg::kMouseMove, msg::kMButtonUp, 0x20Cu, 0u}) {
    fakes::World world;
    world.start();
    world.windows.main->onTrayNotification(mouseMessage);
    EXPECT_EQ(world.log, mouseMessage == msg::kLButtonUp   ? kSwitchOff
                         : mouseMessage == msg::kRButtonUp ? Log{"popup:16"}
                                                           : Log())
        << mouseMessage;
  }
}

TEST(Form1, TheMenusEntriesInOrderEachRunningItsCommand) {
  const std::string about =
      "box:0,Tenebrolite,4,"
      "          Tenebrolite  v1.0\r\n"
      "          by  Velmarind Media\r\n"
      "\r\n"
      "          https://velmarind.example          \r\n"
      "\r\n"
      "          Go to web?";
  // About answered No, Yes, or not at all (the box failed); the folder read afresh
  // (a drive root keeps both "\").
  for (const int answer : {mb::kIdNo, mb::kIdYes, 0}) {
    fakes::World world;
    world.start();
    world.windows.answer = answer;
    world.appInfo.folder = answer != mb::kIdYes ? u"C:\\Program Files\\Tenebrolite" : u"D:\\";
    const std::string help =
        answer != mb::kIdYes ? "C:\\Program Files\\Tenebrolite\\help.html" : "D:\\\\help.html";
    Log afterAbout = {about};
    if (answer == mb::kIdYes)
      afterAbout.push_back("shell:16,open,https://velmarind.example/products.html,5");
    world.windows.main->onTrayNotification(msg::kRButtonUp);
    // Exit with the dialog open: the icon goes before any window does.
    const std::pair<std::u16string, Log> expected[] = {
        {u"Switch Off", kSwitchOff},
        {u"Anti shake", {"dialog:96"}},
        {u"", {}},
        {u"Help", {"shell:16,open," + help + ",5"}},
        {u"About", afterAbout},
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
}

}  // namespace
}  // namespace tray
