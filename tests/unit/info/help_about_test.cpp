#include "info/help_about.h"

#include <gtest/gtest.h>

#include "app/texts.h"
#include "fakes/fake_platform.h"

namespace info {
namespace {

using fakes::CallLog;

TEST(About, TextByteForByte) {
  const std::u16string expected =
      u"          Tenebrolite  v1.0\r\n"
      u"          by  Velmarind Media\r\n"
      u"\r\n"
      u"          https://velmarind.example          \r\n"
      u"\r\n"
      u"          Go to web?";
  EXPECT_EQ(aboutText(), expected);
}

TEST(About, TheShownAddressIsTheSiteWithoutItsFinalSlash) {
  EXPECT_EQ(std::u16string(kSiteLine) + u"/", app::kSiteAddress);
}

TEST(About, YesOpensTheProductsPageAndNoOpensNothing) {
  const struct {
    int answer;
    CallLog expected;
  } cases[] = {
      {platform::mb::kIdYes,
       {"messagebox:4", "shell:7,open,https://velmarind.example/products.html,5"}},
      {platform::mb::kIdNo, {"messagebox:4"}},
  };
  for (const auto& c : cases) {
    CallLog log;
    fakes::FakeWindowSystem windows{log};
    fakes::FakeShell shell{log};
    windows.messageBoxAnswer = c.answer;
    mnuAbout_Click(windows, shell, 7, u"https://velmarind.example/");
    EXPECT_EQ(log, c.expected);
    EXPECT_EQ(windows.lastMessageBoxTitle, u"Tenebrolite");
  }
}

TEST(Help, OpensThePageBesideTheProgram) {
  const struct {
    std::u16string folder;
    std::string opened;
  } cases[] = {
      {u"C:\\Program Files\\Tenebrolite", "C:\\Program Files\\Tenebrolite\\help.html"},
      {u"D:\\", "D:\\\\help.html"},  // a drive root keeps both backslashes
  };
  for (const auto& c : cases) {
    CallLog log;
    fakes::FakeShell shell{log};
    fakes::FakeAppInfo appInfo;
    appInfo.folder = c.folder;
    mnuHelp_Click(shell, appInfo, 7);
    EXPECT_EQ(log, CallLog{"shell:7,open," + c.opened + ",5"});
  }
}

}  // namespace
}  // namespace info
