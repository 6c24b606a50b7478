// Help and About: what the shell is asked to open, and the About message.
#include <gtest/gtest.h>

#include "harness.h"
#include "info/help_about.h"

namespace e2e {
namespace {

TEST(HelpAbout, HelpOpensThePageBesideTheProgramAndAboutAsks) {
  Program program(install(L"help about"));
  const auto form1 = reinterpret_cast<std::uintptr_t>(program.mainWindow());
  // Without the page nothing shows, the program runs on, and Help asks again.
  for (std::size_t attempt = 1; attempt <= 2; ++attempt) {
    program.choose(tray::MenuCommand::Help);
    ASSERT_TRUE(waitFor([&] { return program.calls("shell32.ShellExecuteW").size() == attempt; }));
  }
  const RelayCall help = program.calls("shell32.ShellExecuteW").at(1);
  // The show command is an int: the register's upper half is whatever was there.
  EXPECT_EQ(help.args, (std::vector<unsigned long long>{form1, help.args[1], help.args[2], 0, 0,
                                                        (help.args[5] & ~0xFFFFFFFFULL) | 5}));
  // COM, in a single-threaded apartment, once, before the first ShellExecuteW
  // (Wine forwards ole32's CoInitializeEx to combase).
  const auto com = program.calls("combase.CoInitializeEx");
  ASSERT_EQ(com.size(), 1u);
  EXPECT_EQ(com[0].args.at(1) & 0xFFFFFFFF,
            static_cast<unsigned>(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
  EXPECT_EQ(program.calls({"combase.CoInitializeEx", "shell32.ShellExecuteW"}).at(0).function,
            "combase.CoInitializeEx");
  EXPECT_EQ(help.texts,
            (std::vector<std::string>{"open", "C:\\tenebrolite e2e\\help about\\help.html"}));
  Sleep(500);
  for (HWND window : windowsOf(program.pid())) EXPECT_FALSE(IsWindowVisible(window));

  // About: Yes (the default) and No; No opens nothing, Yes the products page.
  for (int answer : {IDNO, IDYES}) {
    program.choose(tray::MenuCommand::About);
    HWND box = visibleWindowOf(program.pid(), L"#32770");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(windowText(box), L"Tenebrolite");
    EXPECT_EQ(windowText(GetDlgItem(box, 0xFFFF)), wide(info::aboutText()));
    EXPECT_EQ(GetWindowLongW(GetDlgItem(box, IDYES), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    PostMessageW(GetDlgItem(box, answer), BM_CLICK, 0, 0);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(box); }));
  }
  ASSERT_TRUE(waitFor([&] { return program.calls("shell32.ShellExecuteW").size() == 3; }));
  EXPECT_EQ(program.calls("shell32.ShellExecuteW").at(2).texts,
            (std::vector<std::string>{"open", "https://velmarind.example/products.html"}));
  EXPECT_TRUE(program.exit());
}

}  // namespace
}  // namespace e2e
