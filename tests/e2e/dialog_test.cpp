// The hold-time dialog, opened from the menu and used as a person would.
#include <gtest/gtest.h>

#include "harness.h"

namespace e2e {
namespace {

constexpr int kText = 1002, kApply = 1003, kCancel = 1004, kLabel = 1001;

std::string narrow(const std::wstring& text) {
  return std::string(text.begin(), text.end());
}

class Dialog : public ::testing::Test {
 protected:
  void SetUp() override {
    program_.emplace(folder_.install(), true);
    program_->mainWindow();
  }
  void TearDown() override {
    if (program_->running()) {
      EXPECT_TRUE(program_->exit());
    }
  }

  // Opens the dialog from the menu (as "Anti shake" does) and waits for it.
  HWND open() {
    program_->chooseCommand(command::kAntiShake);
    HWND dialog = nullptr;
    EXPECT_TRUE(waitFor([&] { return (dialog = find()) != nullptr; }));
    return dialog;
  }
  // The dialog once it is on screen with its controls.
  HWND find() const {
    for (HWND window : windowsOf(program_->pid(), L"TenebroliteDialog")) {
      if (IsWindowVisible(window)) return window;
    }
    return nullptr;
  }
  bool closed() const {
    return waitFor([&] { return find() == nullptr; });
  }
  // Sets the text box's text from outside, as a paste would.
  std::wstring setText(HWND dialog, const wchar_t* text) {
    SendMessageW(GetDlgItem(dialog, kText), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    return windowText(GetDlgItem(dialog, kText));
  }
  void click(HWND dialog, int button) { PostMessageW(GetDlgItem(dialog, button), BM_CLICK, 0, 0); }
  // The program's message box, once it shows.
  HWND messageBox() const { return visibleWindowOf(program_->pid(), L"#32770"); }
  std::wstring stored() const { return reg::text(kSettingsKey, L"Holdit"); }

  StoredHold absent_;  // none at the start, none left behind
  TempFolder folder_{L"dialog"};
  std::optional<Program> program_;
};

TEST_F(Dialog, WindowStylesOwnerAndGeometry) {
  HWND dialog = open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(windowText(dialog), L" Mouse delay");
  const LONG style = GetWindowLongW(dialog, GWL_STYLE);
  const LONG exStyle = GetWindowLongW(dialog, GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_VISIBLE);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME | WS_CHILD));
  EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr);
  EXPECT_EQ(GetParent(dialog), nullptr);

  RECT client{};
  GetClientRect(dialog, &client);
  POINT corner{0, 0};
  ClientToScreen(dialog, &corner);
  EXPECT_EQ(corner.x, 405);
  EXPECT_EQ(corner.y, 411);
  EXPECT_EQ(client.right, 301);
  EXPECT_EQ(client.bottom, 48);

  const struct {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    RECT rect;
  } controls[] = {{kLabel, L"Static", L"Hold (sec)", {12, 15, 67, 31}},
                  {kText, L"Edit", L"3", {69, 12, 108, 34}},
                  {kApply, L"Button", L"&Apply", {191, 13, 239, 36}},
                  {kCancel, L"Button", L"&Cancel", {245, 13, 293, 36}}};
  HWND previous = nullptr;
  for (const auto& c : controls) {
    HWND control = GetDlgItem(dialog, c.id);
    ASSERT_NE(control, nullptr) << c.id;
    wchar_t className[32] = {};
    GetClassNameW(control, className, 32);
    EXPECT_EQ(_wcsicmp(className, c.className), 0) << narrow(className);
    EXPECT_EQ(windowText(control), c.text);
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, c.rect.left) << narrow(c.text);
    EXPECT_EQ(rect.top, c.rect.top) << narrow(c.text);
    EXPECT_EQ(rect.right, c.rect.right) << narrow(c.text);
    EXPECT_EQ(rect.bottom, c.rect.bottom) << narrow(c.text);
    // Tab order is the order of creation.
    if (previous != nullptr) {
      EXPECT_EQ(GetWindow(previous, GW_HWNDNEXT), control);
    }
    previous = control;
  }
  const LONG apply = GetWindowLongW(GetDlgItem(dialog, kApply), GWL_STYLE);
  const LONG cancel = GetWindowLongW(GetDlgItem(dialog, kCancel), GWL_STYLE);
  EXPECT_EQ(apply & BS_TYPEMASK, BS_PUSHBUTTON) << "no default button";
  EXPECT_EQ(cancel & BS_TYPEMASK, BS_PUSHBUTTON);
  EXPECT_TRUE(apply & WS_TABSTOP);
  EXPECT_FALSE(GetWindowLongW(GetDlgItem(dialog, kLabel), GWL_STYLE) & WS_TABSTOP);

  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &gui));
  EXPECT_EQ(gui.hwndFocus, GetDlgItem(dialog, kText)) << "the text box has the focus";
  EXPECT_EQ(gui.hwndActive, dialog);
}

TEST_F(Dialog, TextThatIsNoNumberTurnsIntoThree) {
  HWND dialog = open();
  for (const wchar_t* text : {L"3x", L"", L"-", L".", L"abc", L"1e"}) {
    EXPECT_EQ(setText(dialog, text), L"3") << narrow(text);
  }
  for (const wchar_t* text : {L"2.5", L" 7", L"-1", L"&H5", L"1,000"}) {
    EXPECT_EQ(setText(dialog, text), text);
  }
  const std::wstring longText(40000, L'1');
  EXPECT_EQ(setText(dialog, longText.c_str()), longText) << "no length limit";
}

TEST_F(Dialog, ApplyStoresTheTextAsTypedAndCloses) {
  for (const wchar_t* text : {L"10", L" 7"}) {
    HWND dialog = open();
    setText(dialog, text);
    click(dialog, kApply);
    ASSERT_TRUE(closed());
    EXPECT_EQ(stored(), text);
  }
}

TEST_F(Dialog, ApplyAboveTenIsRefusedWithTheMessage) {
  HWND dialog = open();
  setText(dialog, L"10.5");
  click(dialog, kApply);
  HWND box = messageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(windowText(box), L"Tenebrolite");
  EXPECT_EQ(windowText(GetDlgItem(box, 0xFFFF)),
            L"Values over 10 seconds are not recommended. Set a lower value");
  EXPECT_NE(GetDlgItem(box, IDOK), nullptr);
  EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr);
  PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  ASSERT_TRUE(waitFor([&] { return !IsWindow(box); }));
  EXPECT_EQ(find(), dialog);
  EXPECT_EQ(windowText(GetDlgItem(dialog, kText)), L"10.5");
  EXPECT_EQ(stored(), L"<absent>");
}

TEST_F(Dialog, CancelAndTheCloseBoxStoreNothingAndTheNextOpeningShowsThree) {
  HWND dialog = open();
  setText(dialog, L"6");
  click(dialog, kCancel);
  ASSERT_TRUE(closed());
  dialog = open();
  EXPECT_EQ(windowText(GetDlgItem(dialog, kText)), L"3");
  setText(dialog, L"6");
  PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(closed());
  EXPECT_EQ(stored(), L"<absent>");
}

TEST_F(Dialog, AntiShakeAgainKeepsOneDialogWithItsText) {
  HWND dialog = open();
  setText(dialog, L"4");
  program_->chooseCommand(command::kAntiShake);
  program_->chooseCommand(command::kAntiShake);
  // A posted message after them is handled once they have been.
  SendMessageW(program_->mainWindow(), WM_NULL, 0, 0);
  EXPECT_EQ(windowsOf(program_->pid(), L"TenebroliteDialog").size(), 1u);
  EXPECT_EQ(windowText(GetDlgItem(dialog, kText)), L"4");
}

TEST_F(Dialog, ExitWithTheDialogOpenStoresNothing) {
  HWND dialog = open();
  setText(dialog, L"5");
  ASSERT_TRUE(program_->exit());
  EXPECT_EQ(stored(), L"<absent>");
}

TEST_F(Dialog, KeyboardTabAndAccessKeys) {
  HWND dialog = open();
  HWND text = GetDlgItem(dialog, kText);
  auto focused = [&] {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &gui);
    return gui.hwndFocus;
  };
  ASSERT_TRUE(waitFor([&] { return focused() == text; }));
  ASSERT_TRUE(waitForKeyboardFocus(" Mouse delay"));
  runUnix(L"/usr/bin/xdotool key --delay 50 Tab");
  EXPECT_TRUE(waitFor([&] { return focused() == GetDlgItem(dialog, kApply); }));
  runUnix(L"/usr/bin/xdotool key --delay 50 Tab");
  EXPECT_TRUE(waitFor([&] { return focused() == GetDlgItem(dialog, kCancel); }));
  runUnix(L"/usr/bin/xdotool key --delay 50 Tab");
  EXPECT_TRUE(waitFor([&] { return focused() == text; }));
  // Enter and Escape do nothing: there is no default and no cancel button.
  runUnix(L"/usr/bin/xdotool key --delay 50 Return Escape");
  SendMessageW(dialog, WM_NULL, 0, 0);
  EXPECT_EQ(find(), dialog);

  setText(dialog, L"8");
  runUnix(L"/usr/bin/xdotool key --delay 50 alt+a");
  ASSERT_TRUE(closed());
  EXPECT_EQ(stored(), L"8");

  dialog = open();
  setText(dialog, L"9");
  ASSERT_TRUE(waitForKeyboardFocus(" Mouse delay"));
  runUnix(L"/usr/bin/xdotool key --delay 50 alt+c");
  ASSERT_TRUE(closed());
  EXPECT_EQ(stored(), L"8");
}

TEST_F(Dialog, TheNextSwitchOffUsesTheAppliedHold) {
  HWND dialog = open();
  setText(dialog, L"2.5");
  click(dialog, kApply);
  ASSERT_TRUE(closed());
  program_->notifyIcon(WM_LBUTTONUP);
  ASSERT_TRUE(waitFor([&] { return !program_->relayCalls("kernel32.Sleep").empty(); }));
  EXPECT_EQ(program_->relayCalls("kernel32.Sleep")[0].args.at(0), 2500u);
}

}  // namespace
}  // namespace e2e
