#include "app/application.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "fakes/fake_registry.h"

namespace app {
namespace {

using fakes::CallLog;

const std::u16string kSettingsKey = u"Software\\Velmarind\\Tenebrolite";
const std::u16string kRunKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

struct World {
  CallLog log;
  fakes::FakeRegistry registry;
  fakes::FakeWindowSystem windows{log};
  fakes::FakeShell shell{log};
  fakes::FakeInput input{log};
  fakes::FakeHoldGuard guard{log};
  fakes::FakeSleeper sleeper{log};
  fakes::FakeAppInfo appInfo;
  fakes::FakeLocale locale;
  Platform platform{registry, windows, shell, input, guard, sleeper, appInfo, locale};
};

TEST(Startup, FirstStartCreatesTheKeyAndWritesEveryValue) {
  World world;
  Application application(world.platform);
  application.Main();

  EXPECT_EQ(application.texts().SiteUrl, u"https://velmarind.example/");
  EXPECT_EQ(application.texts().SettingsKeyPath, kSettingsKey);
  EXPECT_EQ(application.texts().AppFolder, u"C:\\Program Files\\Tenebrolite\\");

  EXPECT_TRUE(world.registry.keyExists(u"Software\\Velmarind"));
  EXPECT_EQ(world.registry.text(kSettingsKey, u"SitL"), u" 0");
  EXPECT_EQ(world.registry.text(kSettingsKey, u"SitT"), u" 0");
  EXPECT_EQ(world.registry.text(kSettingsKey, u"BKColr"), u"&H00C0C0C0");
  EXPECT_EQ(world.registry.text(kSettingsKey, u"Btn"), u"1");
  EXPECT_FALSE(world.registry.value(kSettingsKey, u"Holdit").has_value());
  EXPECT_EQ(world.registry.text(kRunKey, u"Tenebrolite"),
            u"\"C:\\Program Files\\Tenebrolite\\Tenebrolite.exe\"");
  EXPECT_EQ(world.registry.openHandleCount(), 0u);

  // The window is loaded after the values are written, then hidden, then the icon.
  const CallLog expected = {"load:Tenebrolite", "hide:" + std::to_string(world.windows.kMainWindow),
                            "nim:add"};
  EXPECT_EQ(world.log, expected);
}

TEST(Startup, EveryStartOverwritesTheValuesAndFollowsTheExe) {
  World world;
  world.registry.putText(kSettingsKey, u"SitL", u"120");
  world.registry.putText(kSettingsKey, u"BKColr", u"&H00FFFFFF");
  world.registry.putText(kSettingsKey, u"Btn", u"0");
  world.registry.putText(kSettingsKey, u"Holdit", u"4");
  world.registry.putText(kRunKey, u"Tenebrolite", u"C:\\old\\Tenebrolite.exe");
  world.appInfo.folder = u"D:\\";
  world.appInfo.baseName = u"Dark";

  Application application(world.platform);
  application.Main();

  EXPECT_EQ(world.registry.text(kSettingsKey, u"SitL"), u" 0");
  EXPECT_EQ(world.registry.text(kSettingsKey, u"BKColr"), u"&H00C0C0C0");
  EXPECT_EQ(world.registry.text(kSettingsKey, u"Btn"), u"1");
  EXPECT_EQ(world.registry.text(kSettingsKey, u"Holdit"), u"4");
  // A drive root already ends in "\": the data carries both.
  EXPECT_EQ(world.registry.text(kRunKey, u"Tenebrolite"), u"\"D:\\\\Dark.exe\"");
}

TEST(Startup, GoesOnWhenTheRegistryRefusesEverything) {
  World world;
  world.registry.refuseOpen = platform::reg_result::kAccessDenied;
  world.registry.refuseCreate = platform::reg_result::kAccessDenied;
  Application application(world.platform);
  application.Main();
  EXPECT_EQ(world.registry.keyCount(), 0u);
  EXPECT_EQ(world.shell.records.size(), 1u);
}

TEST(Shutdown, UnloadAllFormsUnloadsEveryWindowAndTerminateFindsNone) {
  World world;
  Application application(world.platform);
  application.Main();
  world.windows.windows.push_back(0x777);  // a second window, such as the dialog
  world.log.clear();

  application.UnloadAllForms();
  EXPECT_TRUE(world.windows.windows.empty());
  EXPECT_EQ(world.log.size(), 2u);

  world.log.clear();
  application.Form_Terminate();
  EXPECT_TRUE(world.log.empty());
}

}  // namespace
}  // namespace app
