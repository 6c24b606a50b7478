#include "info/help_about.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace info {
namespace {

using fakes::Log;

TEST(About, ShowsItsTextAndYesOpensTheProductsPage) {
  const std::string text =
      "          Tenebrolite  v1.0\r\n"
      "          by  Velmarind Media\r\n"
      "\r\n"
      "          https://velmarind.example          \r\n"
      "\r\n"
      "          Go to web?";
  for (const int answer : {platform::mb::kIdYes, platform::mb::kIdNo}) {
    fakes::World world;
    world.start();
    world.windows.answer = answer;
    world.application.mnuAbout_Click();
    Log expected = {"box:0,Tenebrolite,4," + text};
    if (answer == platform::mb::kIdYes) {
      expected.push_back("shell:16,open,https://velmarind.example/products.html,5");
    }
    EXPECT_EQ(world.log, expected);
  }
}

TEST(Help, OpensThePageBesideTheProgramReadAfresh) {
  // A drive root keeps both backslashes.
  const std::pair<std::u16string, std::string> cases[] = {
      {u"C:\\Program Files\\Tenebrolite", "C:\\Program Files\\Tenebrolite\\help.html"},
      {u"D:\\", "D:\\\\help.html"}};
  for (const auto& [folder, opened] : cases) {
    fakes::World world;
    world.start();
    world.appInfo.folder = folder;
    world.application.mnuHelp_Click();
    EXPECT_EQ(world.log, Log{"shell:16,open," + opened + ",5"});
  }
}

}  // namespace
}  // namespace info
