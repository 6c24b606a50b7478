// The switch-off with its input hold, and the hold-time dialog used as a person would.
#include <gtest/gtest.h>

#include <cstdio>

#include "harness.h"
#include "power/holdit.h"

namespace e2e {
namespace {

// The switch-off's calls in order: the power-down sent to Form1 (the window of
// the first one when form1 is 0), the hold on the UI thread and the hooks'
// thread (other threads may call in between). Under Wine BlockInput fails, as
// for an ordinary user on Windows: low-level hooks go in.
std::string switchOffCalls(const Program& program, std::uintptr_t form1) {
  std::string words;
  unsigned long thread = 0;
  for (const RelayCall& call :
       program.calls({"user32.SendMessageW", "user32.BlockInput", "kernel32.Sleep",
                      "user32.SetWindowsHookExW", "user32.UnhookWindowsHookEx"})) {
    const std::string name = call.function.substr(call.function.find('.') + 1);
    const auto& a = call.args;
    if (name == "SendMessageW" && (form1 != 0 ? a.at(0) == form1 : thread == 0) &&
        a.at(1) == WM_SYSCOMMAND && a.at(2) == SC_MONITORPOWER && a.at(3) == 2 &&
        (thread == 0 || call.thread == thread)) {
      thread = call.thread;
      words += "power ";
    } else if (name != "SendMessageW" &&
               (name.find("Hook") != std::string::npos || call.thread == thread)) {
      words += name + (name[0] == 'U' ? " " : std::to_string(a.at(0)) + " ");
    }
  }
  return words;
}

std::string hold(int milliseconds) {
  return "BlockInput1 SetWindowsHookExW13 SetWindowsHookExW14 Sleep" +
         std::to_string(milliseconds) + " BlockInput0 UnhookWindowsHookEx UnhookWindowsHookEx ";
}

TEST(SwitchOff, QueuedClicksHoldInTurnAndTypedKeysNeverArrive) {
  StoredHold stored(L"3");
  Program program(install(L"typing"));
  HWND window = program.mainWindow();
  TypingTarget target;
  ASSERT_TRUE(target.type(L"ok"));
  ASSERT_TRUE(waitFor([&] { return target.text() == L"ok"; })) << "keys arrive without a hold";

  // Two more releases wait in the queue while the first hold lasts. The second
  // dispatches the third, whose whole hold comes before its own block.
  program.notifyIcon(WM_LBUTTONUP);
  ASSERT_TRUE(waitFor([&] { return program.calls("kernel32.Sleep").size() == 1; }));
  stored.set(L"0.25");
  program.notifyIcon(WM_LBUTTONUP);
  program.notifyIcon(WM_LBUTTONUP);
  PostMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  ASSERT_TRUE(target.type(L"held"));
  ASSERT_TRUE(waitFor([&] { return program.calls("user32.UnhookWindowsHookEx").size() == 6; }));
  EXPECT_EQ(switchOffCalls(program, reinterpret_cast<std::uintptr_t>(window)),
            "power " + hold(3000) + "power power " + hold(250) + hold(250));
  ASSERT_TRUE(target.type(L"after"));
  waitFor([&] { return target.text().size() >= 7; }, std::chrono::seconds(5));
  EXPECT_EQ(target.text(), L"okafter");
  // The notification area that came during the hold got the icon once.
  EXPECT_EQ(program.count("shell32.Shell_NotifyIconW", NIM_ADD), 2u);
  EXPECT_TRUE(program.exit());
}

TEST(SwitchOff, TheCommandHoldsAndEndsWithNoIconAndNothingWritten) {
  StoredHold stored(L"0.5");
  for (const wchar_t* option : {L"/switchoff", L"--Switch-Off"}) {
    Program program(install(L"command"), option);
    EXPECT_EQ(program.waitForExit(), 0u) << option;
    EXPECT_EQ(switchOffCalls(program, 0), "power " + hold(500)) << option;
    EXPECT_EQ(program.calls("shell32.Shell_NotifyIconW").size(), 0u) << option;
    EXPECT_EQ(program.calls("advapi32.RegSetValueExW").size(), 0u) << option;
  }
  // An unknown option: the options in a message box, then exit status 2.
  Program program(install(L"command"), L"/switch");
  HWND box = visibleWindowOf(program.pid(), L"#32770");
  ASSERT_NE(box, nullptr);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(program.waitForExit(), 2u);
  EXPECT_EQ(program.calls("user32.SendMessageW").size() +
                program.calls("shell32.Shell_NotifyIconW").size() +
                program.calls("advapi32.RegSetValueExW").size(),
            0u);
}

TEST(SwitchOff, EndedFromOutsideDuringAHoldInputFlowsAtOnce) {
  StoredHold stored(L"10");
  Program program(install(L"terminated"));
  program.mainWindow();
  TypingTarget target;
  program.notifyIcon(WM_LBUTTONUP);
  ASSERT_TRUE(waitFor([&] { return program.calls("user32.SetWindowsHookExW").size() == 2; }));
  program.kill();
  ASSERT_TRUE(target.type(L"free"));
  // Well inside the ten seconds the hold would have lasted.
  EXPECT_TRUE(waitFor([&] { return target.text() == L"free"; }, std::chrono::seconds(3)));
}

// When the hold guard powered the display down again: the power-downs sent to
// a window other than Form1, by the trace's clock.
std::vector<double> guardPowerDowns(const Program& program) {
  const auto form1 = reinterpret_cast<std::uintptr_t>(program.mainWindow());
  std::vector<double> times;
  for (const RelayCall& call : program.calls("user32.SendMessageW")) {
    const auto& a = call.args;
    if (a.at(0) != form1 && a.at(1) == WM_SYSCOMMAND && a.at(2) == SC_MONITORPOWER && a.at(3) == 2)
      times.push_back(call.time);
  }
  return times;
}

// When each hold so far ended: its unblock, by the trace's clock.
std::vector<double> unblocks(const Program& program) {
  std::vector<double> times;
  for (const RelayCall& call : program.calls("user32.BlockInput"))
    if (call.args.at(0) == 0) times.push_back(call.time);
  return times;
}

TEST(HoldGuard, InputDuringTheHoldBringsThePowerDownBackAtMostEveryQuarterSecond) {
  StoredHold stored(L"1");
  Program program(install(L"guard"));
  program.mainWindow();
  TypingTarget target;  // where xdotool's moves and keys reach the hooks
  ASSERT_TRUE(target.type(L"ok"));
  program.notifyIcon(WM_LBUTTONUP);
  ASSERT_TRUE(waitFor([&] { return unblocks(program).size() == 1; }));
  EXPECT_TRUE(guardPowerDowns(program).empty()) << "a hold without input";

  // Mouse moves, then keys, for about half of a 3 s hold.
  stored.set(L"3");
  program.notifyIcon(WM_LBUTTONUP);
  ASSERT_TRUE(waitFor([&] { return program.calls("user32.SetWindowsHookExW").size() == 4; }));
  std::wstring moves = L"xdotool";
  for (int i = 0; i < 20; ++i)
    moves += i % 2 ? L" mousemove 300 100 sleep 0.05" : L" mousemove 100 100 sleep 0.05";
  runUnix(moves);
  runUnix(L"xdotool type --delay 50 heldkeysheld");
  ASSERT_TRUE(waitFor([&] { return unblocks(program).size() == 2; }));
  // By the trace's order (its clock counts whole milliseconds), nothing of the
  // guard's comes after the unblock.
  const auto last = program.calls({"user32.SendMessageW", "user32.BlockInput"}).back();
  EXPECT_EQ(last.function, "user32.BlockInput");

  const std::vector<double> downs = guardPowerDowns(program);
  std::printf("%zu power-downs of the guard for 20 mouse moves and 12 keys in a 3 s hold\n",
              downs.size());
  ASSERT_FALSE(downs.empty());
  for (std::size_t i = 0; i < downs.size(); ++i) {
    // The trace's clock is not the guard's: a little slack under 250 ms.
    if (i > 0) {
      EXPECT_GE(downs[i] - downs[i - 1], 0.2) << "power-down " << i;
    }
  }
  EXPECT_TRUE(program.exit());
}

using power::Holdit;

class Dialog : public ::testing::Test {
 protected:
  // Opens the dialog as "Anti shake" does and waits for it.
  HWND open() {
    program_.choose(tray::MenuCommand::Holdit);
    return visibleWindowOf(program_.pid(), L"TenebroliteDialog");
  }
  bool closed() const {
    return waitFor([&] { return windowsOf(program_.pid(), L"TenebroliteDialog").empty(); });
  }
  // Sets the text box's text from outside, as a paste would; gives what it then holds.
  static std::wstring setText(HWND dialog, const wchar_t* text) {
    SendMessageW(GetDlgItem(dialog, Holdit::text1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    return windowText(GetDlgItem(dialog, Holdit::text1));
  }
  static void click(HWND window, int button) {
    PostMessageW(GetDlgItem(window, button), BM_CLICK, 0, 0);
  }
  static void press(const std::wstring& keys) { runUnix(L"xdotool key --delay 50 " + keys); }
  static std::wstring stored() { return storedText(kSettingsKey, L"Holdit"); }

  StoredHold absent_;
  Program program_{install(L"dialog")};
};

TEST_F(Dialog, LayoutFocusAndKeyboard) {
  HWND dialog = open();
  ASSERT_NE(dialog, nullptr);
  const platform::DialogLayout design = Holdit::layout(96);
  EXPECT_EQ(windowText(dialog), wide(design.caption));
  // A fixed tool window with a close box only, and no owner.
  EXPECT_EQ(GetWindowLongW(dialog, GWL_STYLE) &
                (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
            WS_CAPTION | WS_SYSMENU);
  EXPECT_EQ(GetWindowLongW(dialog, GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_APPWINDOW),
            WS_EX_TOOLWINDOW);
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr);
  RECT client{};
  GetClientRect(dialog, &client);
  POINT corner{0, 0};
  ClientToScreen(dialog, &corner);
  EXPECT_EQ((platform::PixelRect{corner.x, corner.y, client.right, client.bottom}), design.client);
  for (const platform::ControlLayout& c : design.controls) {
    HWND control = GetDlgItem(dialog, c.id);
    EXPECT_EQ(windowText(control), wide(c.text));
    // Neither button is the default one.
    if (c.kind == platform::ControlKind::PushButton) {
      EXPECT_EQ(GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    }
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ((platform::PixelRect{r.left, r.top, r.right - r.left, r.bottom - r.top}), c.rect);
  }
  // The text box has the focus and takes text of any length.
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  auto focused = [&] {
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &gui);
    return GetDlgCtrlID(gui.hwndFocus);
  };
  EXPECT_EQ(focused(), Holdit::text1);
  EXPECT_GT(SendMessageW(GetDlgItem(dialog, Holdit::text1), EM_GETLIMITTEXT, 0, 0), 0xFFFFFF);

  // Tab goes round the text box and the buttons; Enter and Escape do nothing.
  ASSERT_TRUE(waitForKeyboardFocus(" Mouse delay"));
  for (int next : {Holdit::Command1, Holdit::Command2, Holdit::text1}) {
    press(L"Tab");
    EXPECT_TRUE(waitFor([&] { return focused() == next; })) << next;
  }
  press(L"Return Escape");
  SendMessageW(dialog, WM_NULL, 0, 0);
  EXPECT_TRUE(IsWindowVisible(dialog));
  // Alt+A applies; Alt+C cancels; every opening shows 3.
  setText(dialog, L"8");
  press(L"alt+a");
  ASSERT_TRUE(closed());
  EXPECT_EQ(stored(), L"8");
  dialog = open();
  EXPECT_EQ(windowText(GetDlgItem(dialog, Holdit::text1)), L"3");
  setText(dialog, L"9");
  ASSERT_TRUE(waitForKeyboardFocus(" Mouse delay"));
  press(L"alt+c");
  ASSERT_TRUE(closed());
  // Exit with the dialog open stores nothing either.
  dialog = open();
  setText(dialog, L"5");
  ASSERT_TRUE(program_.exit());
  EXPECT_EQ(stored(), L"8");
}

TEST_F(Dialog, GuardRefusalCancelCloseBoxAndApply) {
  HWND dialog = open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(setText(dialog, L"3x"), L"3");
  EXPECT_EQ(setText(dialog, L"2.5"), L"2.5");
  // Above ten: the message, over the dialog, which stays as it was.
  setText(dialog, L"10.5");
  click(dialog, Holdit::Command1);
  HWND box = visibleWindowOf(program_.pid(), L"#32770");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(windowText(box), L"Tenebrolite");
  EXPECT_EQ(windowText(GetDlgItem(box, 0xFFFF)), wide(power::kTooLongMessage));
  EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr) << "OK only";
  click(box, IDOK);
  ASSERT_TRUE(waitFor([&] { return !IsWindow(box); }));
  EXPECT_EQ(windowText(GetDlgItem(dialog, Holdit::text1)), L"10.5");
  // A new notification area while it is open gets the icon once.
  PostMessageW(program_.mainWindow(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  ASSERT_TRUE(waitFor([&] { return program_.count("shell32.Shell_NotifyIconW", NIM_ADD) == 2; }));
  SendMessageW(program_.mainWindow(), WM_NULL, 0, 0);
  EXPECT_EQ(program_.count("shell32.Shell_NotifyIconW", NIM_ADD), 2u);

  click(dialog, Holdit::Command2);
  ASSERT_TRUE(closed());
  setText(dialog = open(), L"6");
  PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(closed());
  EXPECT_EQ(stored(), L"<absent>");
  // Applied as typed, blank included; the next switch-off holds for it.
  setText(dialog = open(), L" 0.1");
  click(dialog, Holdit::Command1);
  ASSERT_TRUE(closed());
  EXPECT_EQ(stored(), L" 0.1");
  program_.notifyIcon(WM_LBUTTONUP);
  ASSERT_TRUE(waitFor([&] { return !program_.calls("kernel32.Sleep").empty(); }));
  EXPECT_EQ(program_.calls("kernel32.Sleep")[0].args, std::vector<unsigned long long>{100});
}

}  // namespace
}  // namespace e2e
