#include "power/holdit.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "fakes/fake_registry.h"

namespace power {
namespace {

using fakes::CallLog;
using platform::PixelRect;

const std::u16string kSettingsKey = u"Software\\Velmarind\\Tenebrolite";

class HolditTest : public ::testing::Test {
 protected:
  std::optional<std::u16string> stored() { return registry.text(kSettingsKey, u"Holdit"); }

  CallLog log;
  fakes::FakeRegistry registry;
  fakes::FakeWindowSystem windows{log};
  fakes::FakeLocale locale;
  Holdit holdit{windows, registry, locale, kSettingsKey};
};

TEST(HolditLayout, TwipsBecomePixelsAtTheDpi) {
  const struct {
    unsigned dpi;
    PixelRect client, label, text, apply, cancel;
  } cases[] = {
      {96,
       {405, 411, 301, 48},
       {12, 15, 55, 16},
       {69, 12, 39, 22},
       {191, 13, 48, 23},
       {245, 13, 48, 23}},
      {144,
       {608, 617, 452, 72},
       {18, 23, 83, 24},
       {104, 18, 59, 33},
       {287, 20, 72, 35},
       {368, 20, 72, 35}},
      {120,
       {506, 514, 376, 60},
       {15, 19, 69, 20},
       {86, 15, 49, 28},
       {239, 16, 60, 29},
       {306, 16, 60, 29}},
  };
  for (const auto& c : cases) {
    const platform::DialogLayout design = Holdit::layout(c.dpi);
    EXPECT_EQ(design.caption, u" Mouse delay");
    EXPECT_EQ(design.dpi, c.dpi);
    EXPECT_EQ(design.client, c.client) << c.dpi;
    ASSERT_EQ(design.controls.size(), 4u);
    const PixelRect expected[] = {c.label, c.text, c.apply, c.cancel};
    const char16_t* texts[] = {u"Hold (sec)", u"3", u"&Apply", u"&Cancel"};
    for (std::size_t i = 0; i < 4; ++i) {
      EXPECT_EQ(design.controls[i].rect, expected[i]) << c.dpi << " control " << i;
      EXPECT_EQ(design.controls[i].text, texts[i]);
    }
  }
}

TEST_F(HolditTest, OpensOnTheMonitorWhereItsCornerLands) {
  windows.leftDpi = 96;
  windows.rightDpi = 192;
  holdit.Show();
  EXPECT_EQ(windows.dialogs.back().dpi, 96u);

  holdit.Command2_Click();
  windows.leftDpi = 288;  // at 288 dpi the corner is at x = 1215: the right monitor
  holdit.Show();
  EXPECT_EQ(windows.dialogs.back().dpi, 192u);
  EXPECT_EQ(windows.dialogs.back().client.left, 810);
}

TEST_F(HolditTest, ASecondShowOnlyBringsTheOpenDialogForward) {
  holdit.Show();
  windows.typeInto(Holdit::text1, u"7");
  holdit.Show();
  EXPECT_EQ(windows.dialogs.size(), 1u);
  EXPECT_EQ(log.back(), "front:" + std::to_string(holdit.window()));
  EXPECT_EQ(windows.controls[Holdit::text1], u"7");
}

TEST_F(HolditTest, EveryOpeningShowsThree) {
  registry.putText(kSettingsKey, u"Holdit", u"8");
  holdit.Show();
  EXPECT_EQ(windows.controls[Holdit::text1], u"3");
  windows.typeInto(Holdit::text1, u"5");
  holdit.Command2_Click();
  holdit.Show();
  EXPECT_EQ(windows.controls[Holdit::text1], u"3");
}

TEST_F(HolditTest, TextThatIsNoNumberBecomesThree) {
  holdit.Show();
  const struct {
    std::u16string typed;
    std::u16string shown;
  } cases[] = {{u"3x", u"3"},    {u"", u"3"},    {u"-", u"3"},   {u".", u"3"},
               {u"2.5", u"2.5"}, {u"-4", u"-4"}, {u" 7", u" 7"}, {u"1e", u"3"}};
  for (const auto& c : cases) {
    log.clear();
    windows.typeInto(Holdit::text1, c.typed);
    EXPECT_EQ(windows.controls[Holdit::text1], c.shown)
        << std::string(c.typed.begin(), c.typed.end());
    // Setting "3" raises one more change, which stops there.
    EXPECT_EQ(log.size(), c.typed == c.shown ? 0u : 1u);
  }
}

TEST_F(HolditTest, ApplyStoresWhatWasTypedAndCloses) {
  const char16_t* accepted[] = {u"10", u" 7", u"2,5", u"-1", u"&HA", u"1e1"};
  for (const char16_t* text : accepted) {
    holdit.Show();
    windows.typeInto(Holdit::text1, text);
    holdit.onClicked(Holdit::Command1);
    EXPECT_EQ(stored(), std::u16string(text));
    EXPECT_FALSE(holdit.loaded());
    EXPECT_TRUE(windows.lastMessageBoxText.empty());
  }
}

TEST_F(HolditTest, ApplyAboveTenShowsTheMessageAndStaysOpen) {
  for (const char16_t* text : {u"10.5", u"11", u"&HB", u"1e2"}) {
    holdit.Show();
    windows.typeInto(Holdit::text1, text);
    log.clear();
    holdit.onClicked(Holdit::Command1);
    EXPECT_EQ(log, CallLog{"messagebox:0"});
    EXPECT_EQ(windows.lastMessageBoxText,
              u"Values over 10 seconds are not recommended. Set a lower value");
    EXPECT_EQ(windows.lastMessageBoxTitle, u"Tenebrolite");
    EXPECT_TRUE(holdit.loaded());
    EXPECT_EQ(windows.controls[Holdit::text1], text);
    EXPECT_FALSE(stored().has_value());
  }
}

TEST_F(HolditTest, CancelAndTheCloseBoxStoreNothing) {
  holdit.Show();
  windows.typeInto(Holdit::text1, u"4");
  holdit.onClicked(Holdit::Command2);
  EXPECT_FALSE(holdit.loaded());

  holdit.Show();
  windows.typeInto(Holdit::text1, u"5");
  windows.unloadWindow(holdit.window());  // the close box
  EXPECT_FALSE(holdit.loaded());
  EXPECT_FALSE(stored().has_value());
}

TEST_F(HolditTest, AFailedWriteClosesAsASuccessfulOneDoes) {
  registry.refuseCreate = platform::reg_result::kAccessDenied;
  registry.refuseOpen = platform::reg_result::kAccessDenied;
  holdit.Show();
  holdit.onClicked(Holdit::Command1);
  EXPECT_FALSE(holdit.loaded());
  EXPECT_FALSE(stored().has_value());
}

}  // namespace
}  // namespace power
