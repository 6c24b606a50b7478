#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/hold_guard.h"
#include "platform/input.h"
#include "platform/locale.h"
#include "platform/shell.h"
#include "platform/sleep.h"
#include "platform/window.h"

namespace fakes {

// One log of what the program asked of the system, shared by the fakes, so
// that tests can check the order of calls across them.
using CallLog = std::vector<std::string>;

std::string narrow(const std::u16string& text);

class FakeWindowSystem final : public platform::WindowSystem {
 public:
  explicit FakeWindowSystem(CallLog& log) : log_(log) {}

  platform::WindowHandle loadMainWindow(const std::u16string& caption,
                                        platform::MainWindowEvents& events) override;
  void hideWindow(platform::WindowHandle window) override;
  platform::IconHandle smallIcon(platform::WindowHandle window) override;
  void popupMenu(platform::WindowHandle owner,
                 const std::vector<platform::MenuEntry>& entries) override;
  std::vector<platform::WindowHandle> loadedWindows() override { return windows; }
  void unloadWindow(platform::WindowHandle window) override;
  std::intptr_t sendMessage(platform::WindowHandle window, std::uint32_t message,
                            std::uintptr_t wParam, std::intptr_t lParam) override;
  void dispatchPendingMessages() override;
  int messageBox(platform::WindowHandle owner, const std::u16string& text,
                 const std::u16string& title, std::uint32_t type) override;
  unsigned dpiAt(int x, int y) override;
  platform::WindowHandle loadDialog(const platform::DialogLayout& design,
                                    platform::DialogEvents& events) override;
  void bringToFront(platform::WindowHandle window) override;
  std::u16string controlText(platform::WindowHandle dialog, int control) override;
  // Like the real text box: setting the text raises the change event.
  void setControlText(platform::WindowHandle dialog, int control,
                      const std::u16string& text) override;

  // What a user does to an open dialog's text box: the text changes, then the
  // dialog hears of it.
  void typeInto(int control, const std::u16string& text);

  static constexpr platform::WindowHandle kMainWindow = 0x10010;
  static constexpr platform::IconHandle kSmallIcon = 0x20020;
  platform::IconHandle smallIconHandle = kSmallIcon;  // what smallIcon() gives now

  std::vector<platform::WindowHandle> windows;
  platform::MainWindowEvents* mainEvents = nullptr;
  std::vector<std::vector<platform::MenuEntry>> popups;
  // What waits in the queue: each runs at the next dispatch of pending messages.
  std::vector<std::function<void()>> pending;
  int messageBoxAnswer = 0;
  // The dpi of the monitor left of x = 1000, and of the one right of it.
  unsigned leftDpi = 96, rightDpi = 96;
  std::vector<platform::DialogLayout> dialogs;  // every dialog loaded
  platform::DialogEvents* dialogEvents = nullptr;
  platform::WindowHandle dialog = 0;
  std::map<int, std::u16string> controls;  // the open dialog's control texts
  std::u16string lastMessageBoxText, lastMessageBoxTitle;

 private:
  CallLog& log_;
};

class FakeShell final : public platform::Shell {
 public:
  explicit FakeShell(CallLog& log) : log_(log) {}
  bool notifyIcon(std::uint32_t message, const platform::TrayIconData& data) override;
  void execute(platform::WindowHandle owner, const std::u16string& verb, const std::u16string& file,
               int showCommand) override;

  std::vector<platform::TrayIconData> records;

 private:
  CallLog& log_;
};

class FakeInput final : public platform::Input {
 public:
  explicit FakeInput(CallLog& log) : log_(log) {}
  void blockInput(bool block) override { log_.push_back(block ? "block" : "unblock"); }

 private:
  CallLog& log_;
};

class FakeHoldGuard final : public platform::HoldGuard {
 public:
  explicit FakeHoldGuard(CallLog& log) : log_(log) {}
  void start() override { log_.push_back("guard on"); }
  void stop() override { log_.push_back("guard off"); }

 private:
  CallLog& log_;
};

class FakeSleeper final : public platform::Sleeper {
 public:
  explicit FakeSleeper(CallLog& log) : log_(log) {}
  void sleep(std::uint32_t milliseconds) override {
    log_.push_back("sleep:" + std::to_string(milliseconds));
  }

 private:
  CallLog& log_;
};

class FakeLocale final : public platform::Locale {
 public:
  platform::NumberConventions numberConventions() override { return conventions; }
  platform::NumberConventions conventions{u".", u",", u"$"};
};

class FakeAppInfo final : public platform::AppInfo {
 public:
  std::u16string executableFolder() override { return folder; }
  std::u16string executableBaseName() override { return baseName; }
  std::u16string productName() override { return product; }

  std::u16string folder = u"C:\\Program Files\\Tenebrolite";
  std::u16string baseName = u"Tenebrolite";
  std::u16string product = u"Tenebrolite";
};

}  // namespace fakes
