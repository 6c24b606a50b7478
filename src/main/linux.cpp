// The program's entry point on Linux: composes the Qt and X11 or Wayland
// platform and runs the program.
#include <unistd.h>
#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "app/application.h"
#include "app/command_line.h"
#include "platform/linux/command_line.h"
#include "platform/linux/qt/tray.h"
#include "platform/linux/qt/window_system.h"
#include "platform/linux/session.h"
#include "platform/linux/settings/autostart.h"
#include "platform/linux/settings/registry.h"
#include "platform/linux/utf8.h"
#include "power/hold_guard.h"
#include "tray/menu.h"

namespace platform::linux_desktop {
namespace {

class ThreadSleeper final : public Sleeper {
 public:
  void sleep(std::uint32_t milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
};

class QtLocale final : public Locale {
 public:
  NumberConventions numberConventions() override {
    const QLocale locale = QLocale::system();
    return {locale.decimalPoint().toStdU16String(), locale.groupSeparator().toStdU16String(),
            locale.currencySymbol().toStdU16String()};
  }
};

// The running binary, as /proc/self/exe names it, its bytes kept whether or
// not they are UTF-8.
std::u16string executablePath() {
  std::string path(4096, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return {};
  path.resize(static_cast<std::size_t>(length));
  return fromFileName(path);
}

class LinuxAppInfo final : public AppInfo {
 public:
  // "/" alone is the root's folder; otherwise no trailing "/".
  std::u16string executableFolder() override {
    const std::u16string path = executablePath();
    const std::size_t slash = path.find_last_of(u'/');
    if (slash == std::u16string::npos) return {};
    return slash == 0 ? u"/" : path.substr(0, slash);
  }
  // A Linux program's name has no extension: the whole name is its base.
  std::u16string executableBaseName() override {
    const std::u16string path = executablePath();
    return path.substr(path.find_last_of(u'/') + 1);
  }
  std::u16string productName() override { return u"Tenebrolite"; }
  std::u16string pathSeparator() override { return u"/"; }
};

// The hold's input block, which the windows hear of too: clicks on the icon
// that came during the hold are dropped with the rest of the held input.
class HeldClicks final : public platform::Input {
 public:
  HeldClicks(platform::Input& block, QtWindowSystem& windows) : block_(block), windows_(windows) {}
  void blockInput(bool block) override {
    windows_.holdingInput(block);
    block_.blockInput(block);
  }

 private:
  platform::Input& block_;
  QtWindowSystem& windows_;
};

}  // namespace
}  // namespace platform::linux_desktop

int main(int argc, char** argv) {
  using namespace platform::linux_desktop;
  const Arguments arguments = readArguments(argc, argv);
  // Answered before Qt starts: --help needs no display.
  const app::Command command = app::parseCommandLine(arguments.own, app::OptionStyle::Linux);
  if (command == app::Command::Help || command == app::Command::Unknown) {
    const std::string usage = toUtf8(app::usageText(app::OptionStyle::Linux)).value_or("");
    std::fputs(usage.c_str(), command == app::Command::Help ? stdout : stderr);
    return command == app::Command::Help ? 0 : 2;
  }
  QApplication qt(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setApplicationName(QStringLiteral("Tenebrolite"));
  // The desktop file's name, as the windows' Wayland app_id: the compositor
  // shows its icon and name on the dialog and the message boxes.
  QGuiApplication::setDesktopFileName(QStringLiteral("example.velmarind.Tenebrolite"));
  QApplication::setWindowIcon(programIcon());

  const std::string config = configHome();
  FileRegistry registry(config + "/Velmarind/Tenebrolite.conf");
  DesktopAutostart autostart(config + "/autostart");
  power::HoldGuardRule guardRule;
  DesktopSession session(guardRule, arguments.x11Display);

  bool toldOnce = false;
  QtWindowSystem windows([&] {
    if (session.powerDown()) return true;
    // Once a run: a click that would otherwise fail in silence.
    if (!toldOnce) {
      toldOnce = true;
      const std::u16string text =
          u"Tenebrolite cannot switch the display off on this desktop. It can in X11 sessions, "
          u"and under Wayland on GNOME, KDE Plasma and the wlroots desktops (Sway, Hyprland, "
          u"river, labwc, Wayfire).";
      if (command == app::Command::SwitchOff) {
        std::fprintf(stderr, "tenebrolite: %s\n", toUtf8(text).value_or("").c_str());
      }
      windows.messageBox(0, text, u"Tenebrolite", platform::mb::kOk);
    }
    return false;
  });
  QtShell shell(windows, tray::popupEntries());
  ThreadSleeper sleeper;
  LinuxAppInfo appInfo;
  QtLocale locale;
  platform::HoldGuard& guard = session.guard();
  HeldClicks input(session.input(), windows);
  app::Platform platform{registry, windows, shell,  input,    guard,
                         sleeper,  appInfo, locale, autostart};

  app::Application application(platform);
  if (command == app::Command::SwitchOff) {
    const int status = application.SwitchOffCommand();
    // Where only this program can wake the display it blanked, the run ends
    // once it has.
    // The compositor's thread answers that input outside Qt's events: a
    // timer wakes the loop to look again.
    QTimer look;
    look.start(100);
    while (session.displayWaitsForInput()) {
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return status;
  }
  application.Main();
  windows.runEventLoop();
  application.Form_Terminate();
  return 0;
}
