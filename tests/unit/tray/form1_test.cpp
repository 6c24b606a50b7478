#include "tray/form1.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "tray/menu.h"

namespace tray {
namespace {

using fakes::CallLog;
using fakes::FakeWindowSystem;
using namespace platform;

class RecordingCommands final : public Commands {
 public:
  explicit RecordingCommands(CallLog& log) : log_(log) {}
  void mnuOffBtn_Click() override { log_.push_back("mnuOffBtn_Click"); }
  void mnuHoldit_Click() override { log_.push_back("mnuHoldit_Click"); }
  void mnuHelp_Click() override { log_.push_back("mnuHelp_Click"); }
  void mnuAbout_Click() override { log_.push_back("mnuAbout_Click"); }
  void UnloadAllForms() override { log_.push_back("UnloadAllForms"); }

 private:
  CallLog& log_;
};

class Form1Test : public ::testing::Test {
 protected:
  void SetUp() override {
    form.Load();
    log.clear();
  }
  CallLog log;
  FakeWindowSystem windows{log};
  fakes::FakeShell shell{log};
  RecordingCommands commands{log};
  Form1 form{windows, shell, commands};
};

TEST(Form1Load, HidesTheWindowThenAddsTheIconOnce) {
  CallLog log;
  FakeWindowSystem windows{log};
  fakes::FakeShell shell{log};
  RecordingCommands commands{log};
  Form1 form{windows, shell, commands};
  form.Load();

  const CallLog expected = {"load:Tenebrolite",
                            "hide:" + std::to_string(FakeWindowSystem::kMainWindow), "nim:add"};
  EXPECT_EQ(log, expected);
  ASSERT_EQ(shell.records.size(), 1u);
  const TrayIconData& record = shell.records[0];
  EXPECT_EQ(record.hWnd, FakeWindowSystem::kMainWindow);
  EXPECT_EQ(record.uID, 1u);
  EXPECT_EQ(record.uFlags, nif::kMessage | nif::kIcon | nif::kTip);
  EXPECT_EQ(record.uFlags, 7u);
  EXPECT_EQ(record.uCallbackMessage, 0x201u);
  EXPECT_EQ(record.hIcon, FakeWindowSystem::kSmallIcon);
  EXPECT_EQ(record.szTip, u"Tenebrolite");
}

TEST_F(Form1Test, RoutesEachIconNotification) {
  const std::string popup = "popup:" + std::to_string(FakeWindowSystem::kMainWindow);
  const struct {
    std::uint32_t mouseMessage;
    CallLog expected;
  } cases[] = {
      {msg::kLButtonUp, {"mnuOffBtn_Click"}},
      {msg::kRButtonUp, {popup}},
      {msg::kLButtonDblClk, {}},
      {msg::kLButtonDown, {}},
      {msg::kRButtonDown, {}},
      {msg::kMouseMove, {}},
      {msg::kMButtonUp, {}},
      {0x20C, {}},  // an X button
      {0, {}},
  };
  for (const auto& c : cases) {
    log.clear();
    form.onTrayNotification(c.mouseMessage);
    EXPECT_EQ(log, c.expected) << "mouse message 0x" << std::hex << c.mouseMessage;
  }
}

TEST_F(Form1Test, PopupShowsTheCommandMenu) {
  form.onTrayNotification(msg::kRButtonUp);
  ASSERT_EQ(windows.popups.size(), 1u);
  const auto& entries = windows.popups[0];
  const char16_t* captions[] = {u"Switch Off", u"Anti shake", u"",    u"Help",
                                u"About",      u"Close",      u"Exit"};
  ASSERT_EQ(entries.size(), std::size(captions));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i].caption, captions[i]) << i;
    EXPECT_EQ(entries[i].separator, i == 2) << i;
    EXPECT_EQ(entries[i].caption.find(u'&'), std::u16string::npos);
  }
}

TEST_F(Form1Test, EachMenuEntryRunsItsCommand) {
  const struct {
    std::u16string_view name;
    CallLog expected;
  } cases[] = {
      {u"mnuOffBtn2", {"mnuOffBtn_Click"}},
      {u"mnuHoldit", {"mnuHoldit_Click"}},
      {u"mnuHelp", {"mnuHelp_Click"}},
      {u"mnuAbout", {"mnuAbout_Click"}},
      {u"mnuDoNoting", {}},
      // The icon goes before any window does.
      {u"mnuExit", {"nim:delete", "UnloadAllForms"}},
  };
  for (const auto& c : cases) {
    const auto item = std::find_if(kBMenu.begin(), kBMenu.end(),
                                   [&](const MenuItem& i) { return i.name == c.name; });
    ASSERT_NE(item, kBMenu.end());
    log.clear();
    form.onMenuCommand(static_cast<int>(item->command));
    EXPECT_EQ(log, c.expected) << fakes::narrow(std::u16string(c.name));
  }
}

TEST_F(Form1Test, ExitRemovesTheIconThatWasAdded) {
  form.mnuExit_Click();
  ASSERT_EQ(shell.records.size(), 2u);
  EXPECT_EQ(shell.records[1].hWnd, FakeWindowSystem::kMainWindow);
  EXPECT_EQ(shell.records[1].uID, 1u);
}

TEST_F(Form1Test, ANewDisplayScaleChangesTheIconsPictureOnly) {
  windows.smallIconHandle = 0x20040;
  form.onDpiChanged();
  EXPECT_EQ(log, CallLog{"nim:modify"});
  EXPECT_EQ(shell.records.back().hIcon, 0x20040u);
  EXPECT_EQ(shell.records.back().uFlags, 7u);
  EXPECT_EQ(shell.records.back().szTip, u"Tenebrolite");
}

TEST_F(Form1Test, TaskbarCreatedAddsTheIconAgain) {
  form.onTaskbarCreated();
  EXPECT_EQ(log, CallLog{"nim:add"});
  EXPECT_EQ(shell.records.back().szTip, u"Tenebrolite");
}

}  // namespace
}  // namespace tray
