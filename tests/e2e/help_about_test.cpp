// Help and About: what the shell is asked to open, seen through a stand-in
// browser that records its argument instead of opening anything.
#include <gtest/gtest.h>

#include <fstream>

#include "harness.h"
#include "info/help_about.h"

namespace e2e {
namespace {

// Wine hands pages and addresses to the programs listed under
// HKCU\Software\Wine\WineBrowser; this one writes each argument to a file.
class StandInBrowser {
 public:
  StandInBrowser() {
    std::ofstream(kScript, std::ios::binary) << "#!/bin/sh\necho \"$1\" >> " << kLog << "\n";
    runUnix(L"chmod +x /tmp/tenebrolite-e2e-browser; rm -f /tmp/tenebrolite-e2e-browser.log");
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", L"Browsers", REG_SZ,
                    L"/tmp/tenebrolite-e2e-browser", 60);
  }
  ~StandInBrowser() {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", L"Browsers");
  }
  // Every argument it was started with, one a line.
  std::string opened() const { return runUnix(L"cat /tmp/tenebrolite-e2e-browser.log"); }

 private:
  static constexpr const char* kScript = "Z:\\tmp\\tenebrolite-e2e-browser";
  static constexpr const char* kLog = "/tmp/tenebrolite-e2e-browser.log";
};

TEST(HelpAbout, HelpOpensThePageBesideTheProgramAndAboutAsks) {
  StandInBrowser browser;
  TempFolder folder(L"help about");
  Program program(folder.install());
  const auto form1 = reinterpret_cast<std::uintptr_t>(program.mainWindow());
  // Without the page: nothing shows, the program runs on, and Help tries again.
  for (std::size_t attempt = 1; attempt <= 2; ++attempt) {
    program.choose(tray::MenuCommand::Help);
    ASSERT_TRUE(waitFor([&] { return program.calls("shell32.ShellExecuteW").size() == attempt; }));
  }
  Sleep(500);
  EXPECT_TRUE(browser.opened().empty());
  for (HWND window : windowsOf(program.pid())) EXPECT_FALSE(IsWindowVisible(window));
  // With it: a file address of the copy's help.html, owned by Form1, with no
  // parameters or working folder.
  folder.install(L"help.html", L"help.html");
  program.choose(tray::MenuCommand::Help);
  ASSERT_TRUE(waitFor([&] { return !browser.opened().empty(); }));
  EXPECT_NE(browser.opened().find("help%20about/help.html"), std::string::npos) << browser.opened();
  const auto call = program.calls("shell32.ShellExecuteW").at(2).args;
  EXPECT_EQ(call, (std::vector<unsigned long long>{form1, call.at(1), call.at(2), 0, 0, SW_SHOW}));

  // About: Yes (the default) and No; No opens nothing, Yes the products page.
  for (int answer : {IDNO, IDYES}) {
    program.choose(tray::MenuCommand::About);
    HWND box = visibleWindowOf(program.pid(), L"#32770");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(windowText(box), L"Tenebrolite");
    const std::u16string text = info::aboutText();
    EXPECT_EQ(windowText(GetDlgItem(box, 0xFFFF)), std::wstring(text.begin(), text.end()));
    EXPECT_EQ(GetWindowLongW(GetDlgItem(box, IDYES), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    PostMessageW(GetDlgItem(box, answer), BM_CLICK, 0, 0);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(box); }));
  }
  ASSERT_TRUE(waitFor([&] { return program.calls("shell32.ShellExecuteW").size() == 4; }));
  ASSERT_TRUE(waitFor([&] { return browser.opened().find("products") != std::string::npos; }));
  EXPECT_EQ(browser.opened().substr(browser.opened().find('\n') + 1),
            "https://velmarind.example/products.html");
  EXPECT_TRUE(program.exit());
}

}  // namespace
}  // namespace e2e
