// Help and About: what the shell is asked to open, seen through a stand-in
// browser that records its argument instead of opening anything.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "harness.h"

namespace e2e {
namespace {

// Wine hands pages and addresses to the programs listed under
// HKCU\Software\Wine\WineBrowser; this one writes each argument to a file.
class StandInBrowser {
 public:
  StandInBrowser() {
    const std::wstring id = std::to_wstring(GetCurrentProcessId());
    script_ = L"/tmp/tenebrolite-e2e-browser-" + id;
    log_ = script_ + L".log";
    runUnix(L"printf '#!/bin/sh\\necho \\\"$1\\\" >> " + log_ + L"\\n' > " + script_ +
            L" && chmod +x " + script_ + L" && rm -f " + log_);
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, &key, nullptr);
    DWORD type = 0;
    DWORD size = sizeof saved_;
    hadSaved_ = RegQueryValueExW(key, L"Browsers", nullptr, &type, reinterpret_cast<BYTE*>(saved_),
                                 &size) == ERROR_SUCCESS;
    RegSetValueExW(key, L"Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(script_.c_str()),
                   static_cast<DWORD>((script_.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }
  ~StandInBrowser() {
    HKEY key = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", 0, KEY_SET_VALUE, &key);
    if (hadSaved_) {
      RegSetValueExW(key, L"Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(saved_),
                     static_cast<DWORD>((wcslen(saved_) + 1) * sizeof(wchar_t)));
    } else {
      RegDeleteValueW(key, L"Browsers");
    }
    RegCloseKey(key);
    runUnix(L"rm -f " + script_ + L" " + log_);
  }
  // Every argument the browser was started with, one a line.
  std::string opened() const {
    std::wstring path = L"Z:" + log_;
    for (wchar_t& c : path) {
      if (c == L'/') c = L'\\';
    }
    std::ifstream file(std::string(path.begin(), path.end()));
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  }

 private:
  std::wstring script_, log_;
  wchar_t saved_[512] = {};
  bool hadSaved_ = false;
};

class HelpAbout : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_ = folder_.install();
    program_.emplace(exe_, true);
    program_->mainWindow();
  }
  void TearDown() override {
    if (program_->running()) {
      EXPECT_TRUE(program_->exit());
    }
  }
  HWND messageBox() const { return visibleWindowOf(program_->pid(), L"#32770"); }
  std::size_t shellCalls() const { return program_->relayCalls("shell32.ShellExecuteW").size(); }

  StandInBrowser browser_;
  TempFolder folder_{L"help about"};
  std::wstring exe_;
  std::optional<Program> program_;
};

TEST_F(HelpAbout, HelpOpensThePageBesideTheProgram) {
  CopyFileW((buildFolder() + L"\\help.html").c_str(), (folder_.path() + L"\\help.html").c_str(),
            FALSE);
  program_->chooseCommand(command::kHelp);
  ASSERT_TRUE(waitFor([&] { return !browser_.opened().empty(); }));
  // The page arrives as a file address of the folder's help.html.
  EXPECT_NE(browser_.opened().find("help%20about/help.html"), std::string::npos)
      << browser_.opened();
  const auto call = program_->relayCalls("shell32.ShellExecuteW").at(0);
  EXPECT_EQ(reinterpret_cast<HWND>(call.args.at(0)), program_->mainWindow());
  EXPECT_EQ(call.args.at(3), 0u) << "no parameters";
  EXPECT_EQ(call.args.at(4), 0u) << "no working folder";
  // An int: the register's upper half is whatever was there before.
  EXPECT_EQ(call.args.at(5) & 0xFFFFFFFFu, static_cast<unsigned long long>(SW_SHOW));
  // COM, in a single-threaded apartment, before the first ShellExecuteW (Wine
  // forwards ole32's CoInitializeEx to combase).
  const auto com = program_->relayCalls("combase.CoInitializeEx");
  ASSERT_EQ(com.size(), 1u);
  EXPECT_EQ(com[0].args.at(1),
            static_cast<unsigned long long>(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
  EXPECT_LT(com[0].time, call.time);
}

TEST_F(HelpAbout, AMissingHelpPageShowsNothingAndHelpTriesAgain) {
  for (std::size_t attempt = 1; attempt <= 2; ++attempt) {
    program_->chooseCommand(command::kHelp);
    ASSERT_TRUE(waitFor([&] { return shellCalls() == attempt; }));
  }
  SendMessageW(program_->mainWindow(), WM_NULL, 0, 0);
  Sleep(500);
  EXPECT_TRUE(program_->running());
  EXPECT_TRUE(browser_.opened().empty());
  for (HWND window : windowsOf(program_->pid())) {
    EXPECT_FALSE(IsWindowVisible(window)) << "the program shows nothing";
  }
}

TEST_F(HelpAbout, AboutShowsItsTextAndNoOpensNothing) {
  program_->chooseCommand(command::kAbout);
  HWND box = messageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(windowText(box), L"Tenebrolite");
  EXPECT_EQ(windowText(GetDlgItem(box, 0xFFFF)),
            L"          Tenebrolite  v1.0\r\n"
            L"          by  Velmarind Media\r\n"
            L"\r\n"
            L"          https://velmarind.example          \r\n"
            L"\r\n"
            L"          Go to web?");
  EXPECT_NE(GetDlgItem(box, IDYES), nullptr);
  EXPECT_NE(GetDlgItem(box, IDNO), nullptr);
  EXPECT_EQ(GetDlgItem(box, IDOK), nullptr);
  EXPECT_EQ(GetWindowLongW(GetDlgItem(box, IDYES), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON)
      << "Yes is the default";
  const auto call = program_->relayCalls("user32.MessageBoxW").at(0);
  EXPECT_EQ(call.args.at(3), static_cast<unsigned long long>(MB_YESNO)) << "no icon";

  PostMessageW(GetDlgItem(box, IDNO), BM_CLICK, 0, 0);
  ASSERT_TRUE(waitFor([&] { return !IsWindow(box); }));
  SendMessageW(program_->mainWindow(), WM_NULL, 0, 0);
  EXPECT_EQ(shellCalls(), 0u);
  EXPECT_TRUE(program_->running());
}

TEST_F(HelpAbout, AboutYesOpensTheProductsPage) {
  program_->chooseCommand(command::kAbout);
  HWND box = messageBox();
  ASSERT_NE(box, nullptr);
  PostMessageW(GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
  ASSERT_TRUE(waitFor([&] { return !browser_.opened().empty(); }));
  EXPECT_EQ(browser_.opened(), "https://velmarind.example/products.html\n");
}

}  // namespace
}  // namespace e2e
