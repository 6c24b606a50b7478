#include "app/application.h"

#include <gtest/gtest.h>

#include <tuple>

#include "fakes.h"
#include "settings/catalogue.h"

namespace app {
namespace {

using fakes::kSettingsKey;

TEST(Startup, WritesTheFixedValuesAndTheQuotedAutostartThenLoadsForm1) {
  const std::u16string run = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  // Over no values or earlier ones (a drive root keeps both "\"); all refused.
  const std::tuple<std::u16string, std::u16string, bool, std::optional<std::u16string>> cases[] = {
      {u"C:\\Program Files\\Tenebrolite", u"Tenebrolite", false,
       u"\"C:\\Program Files\\Tenebrolite\\Tenebrolite.exe\""},
      {u"D:\\", u"Dark", false, u"\"D:\\\\Dark.exe\""},
      {u"C:\\T", u"Tenebrolite", true, std::nullopt}};
  for (const auto& [folder, baseName, refused, command] : cases) {
    fakes::World world;
    world.appInfo.folder = folder;
    world.appInfo.baseName = baseName;
    if (baseName == u"Dark") {
      for (const auto& [name, data] : settings::kFixedValues) {
        world.registry.putText(kSettingsKey, std::u16string(name), u"earlier");
      }
      world.registry.putText(kSettingsKey, u"Holdit", u"4");
      world.registry.putText(run, u"Tenebrolite", u"C:\\earlier\\Tenebrolite.exe");
    }
    world.registry.refuseOpen = world.registry.refuseCreate = refused ? 5 : 0;
    world.application.Main();
    for (const auto& [name, data] : settings::kFixedValues) {
      const auto stored = world.registry.text(kSettingsKey, std::u16string(name));
      EXPECT_EQ(stored, refused ? std::nullopt : std::optional(std::u16string(data)));
    }
    const auto holdit = baseName == u"Dark" ? std::optional<std::u16string>(u"4") : std::nullopt;
    EXPECT_EQ(world.registry.text(kSettingsKey, u"Holdit"), holdit) << "never written";
    EXPECT_EQ(world.registry.text(run, u"Tenebrolite"), command);
    EXPECT_EQ(world.registry.handles.size(), 0u);
    EXPECT_EQ(world.log, (fakes::Log{"load:Tenebrolite", "hide:16", "nim:add"}));
  }
}

TEST(SwitchOffCommand, HoldsWithoutAnIconOrAWriteAndTellsAFailure) {
  for (const bool failed : {false, true}) {
    fakes::World world;
    world.registry.putText(kSettingsKey, u"Holdit", u"1");
    if (failed) world.windows.sendResult = platform::kMonitorPowerFailed;
    // Explorer restarting while the command runs brings no icon.
    world.windows.pending.push_back([&] { world.windows.main->onTaskbarCreated(); });
    EXPECT_EQ(world.application.SwitchOffCommand(), failed ? 1 : 0);
    fakes::Log expected = {"load:Tenebrolite", "hide:16", "send:16,274,61808,2"};
    if (!failed) {
      expected.insert(expected.end(), {"dispatch", "guard on", "block", "sleep:1000", "guard off",
                                       "unblock"});
    }
    expected.push_back("unload:16");
    EXPECT_EQ(world.log, expected);
    EXPECT_EQ(world.registry.keys.size(), 1u);
    EXPECT_EQ(world.registry.keys[kSettingsKey].size(), 1u);
    EXPECT_EQ(world.registry.handles.size(), 0u);
  }
}

}  // namespace
}  // namespace app
