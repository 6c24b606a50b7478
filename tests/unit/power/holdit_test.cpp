#include "power/holdit.h"

#include <gtest/gtest.h>

#include <tuple>

#include "fakes.h"

namespace power {
namespace {

using fakes::kSettingsKey;
using platform::PixelRect;

// A dialog on a faked system.
struct Dialog {
  std::optional<std::u16string> stored() { return world.registry.text(kSettingsKey, u"Holdit"); }
  std::u16string shown() { return world.windows.controls[Holdit::text1]; }
  fakes::World world;
  Holdit holdit{world.windows, world.registry, world.locale, kSettingsKey};
};

TEST(Holdit, TwipsBecomePixelsRoundedToTheNearestAtTheDpi) {
  // The client area from the screen's corner, then each control from the client's.
  const std::vector<int> at96 = {405, 411, 301, 48, 12, 15, 55,  16, 69, 12,
                                 39,  22,  191, 13, 48, 23, 245, 13, 48, 23};
  const std::vector<int> at144 = {608, 617, 452, 72, 18, 23, 83,  24, 104, 18,
                                  59,  33,  287, 20, 72, 35, 368, 20, 72,  35};
  for (const auto& [dpi, rects] : {std::pair(96u, at96), std::pair(144u, at144)}) {
    const platform::DialogLayout design = Holdit::layout(dpi);
    std::vector<int> got;
    auto add = [&](const PixelRect& r) {
      got.insert(got.end(), {r.left, r.top, r.width, r.height});
    };
    add(design.client);
    for (const platform::ControlLayout& control : design.controls) add(control.rect);
    EXPECT_EQ(got, rects) << dpi;
    EXPECT_EQ(design.dpi, dpi);
  }
}

TEST(Holdit, OpensOnTheMonitorWhereItsCornerLands) {
  Dialog d;
  d.world.windows.rightDpi = 192;
  d.holdit.Show();
  d.holdit.Command2_Click();
  d.world.windows.leftDpi = 288;  // at 288 dpi the corner is at x = 1215: the right monitor
  d.holdit.Show();
  EXPECT_EQ(d.world.log, (fakes::Log{"dialog:96", "unload:49", "dialog:192"}));
}

TEST(Holdit, OneDialogForTheRunThatAlwaysOpensShowingThree) {
  fakes::World world;
  world.start();
  world.registry.putText(kSettingsKey, u"Holdit", u"8");
  world.application.mnuHoldit_Click();
  EXPECT_EQ(world.windows.controls[Holdit::text1], u"3");
  world.windows.type(Holdit::text1, u"7");
  world.application.mnuHoldit_Click();
  EXPECT_EQ(world.windows.controls[Holdit::text1], u"7");
  world.windows.dialogEvents->onClicked(Holdit::Command2);
  world.application.mnuHoldit_Click();
  EXPECT_EQ(world.windows.controls[Holdit::text1], u"3");
  EXPECT_EQ(world.log, (fakes::Log{"dialog:96", "front:49", "unload:49", "dialog:96"}));
}

TEST(Holdit, TextThatIsNoNumberInTheUsersLocaleBecomesThree) {
  const platform::NumberConventions us{u".", u",", u"$"}, de{u",", u".", u"\u20AC"};
  const std::tuple<const platform::NumberConventions&, std::u16string, std::u16string> cases[] = {
      {us, u"3x", u"3"},      {us, u"", u"3"},
      {us, u"-", u"3"},       {us, u".", u"3"},
      {us, u"1e", u"3"},      {us, u"2.5", u"2.5"},
      {us, u"-4", u"-4"},     {us, u" 7", u" 7"},
      {us, u"1.000,5", u"3"}, {de, u"1.000,5", u"1.000,5"},
      {de, u"$3", u"3"}};
  Dialog d;
  d.holdit.Show();
  for (const auto& [locale, typed, shown] : cases) {
    d.world.locale.conventions = locale;  // read afresh at every change
    d.world.log.clear();
    d.world.windows.type(Holdit::text1, typed);
    EXPECT_EQ(d.shown(), shown) << fakes::narrow(typed);
    // Setting "3" raises one more change, which stops there.
    EXPECT_EQ(d.world.log.size(), typed == shown ? 0u : 1u);
  }
}

TEST(Holdit, ApplyStoresAtMostTenAsTypedAndCloses) {
  // The registry refuses the write in the last case.
  enum Action { Apply, Cancel, CloseBox, Refused };
  const std::tuple<std::u16string, Action, std::optional<std::u16string>> cases[] = {
      {u"10", Apply, u"10"}, {u" 7", Apply, u" 7"},   {u"2,5", Apply, u"2,5"},
      {u"-1", Apply, u"-1"}, {u"&HA", Apply, u"&HA"}, {u"1e1", Apply, u"1e1"},
      {u"10.5", Apply, {}},  {u"11", Apply, {}},      {u"&HB", Apply, {}},
      {u"1e2", Apply, {}},   {u"4", Cancel, {}},      {u"5", CloseBox, {}},
      {u"6", Refused, {}}};
  for (const auto& [typed, action, stored] : cases) {
    Dialog d;
    d.holdit.Show();
    const platform::WindowHandle dialog = d.world.windows.dialog;
    d.world.windows.type(Holdit::text1, typed);
    d.world.log.clear();
    d.world.registry.refuseOpen = d.world.registry.refuseCreate = action == Refused ? 5 : 0;
    if (action == CloseBox) {
      d.world.windows.unloadWindow(dialog);
    } else {
      d.holdit.onClicked(action == Cancel ? Holdit::Command2 : Holdit::Command1);
    }
    EXPECT_EQ(d.stored(), stored) << fakes::narrow(typed);
    // Above ten the message shows, owned by the dialog, which stays open as it was.
    const bool refused = action == Apply && !stored;
    EXPECT_EQ(d.world.windows.dialog, refused ? dialog : 0) << fakes::narrow(typed);
    if (refused) {
      EXPECT_EQ(d.world.log, fakes::Log{"box:" + std::to_string(dialog) + ",Tenebrolite,0," +
                                        fakes::narrow(kTooLongMessage)});
      EXPECT_EQ(d.shown(), typed);
    }
  }
}

}  // namespace
}  // namespace power
