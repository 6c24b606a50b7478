// The program's entry point on Linux: composes the Qt and X11 platform and
// runs the program.
#include <QtGui/qguiapplication_platform.h>
#include <unistd.h>
#include <QApplication>
#include <QIcon>
#include <QLocale>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "app/application.h"
#include "platform/linux/desktop_autostart.h"
#include "platform/linux/file_registry.h"
#include "platform/linux/qt_tray.h"
#include "platform/linux/qt_window_system.h"
#include "platform/linux/utf8.h"
#include "platform/linux/x11_hold.h"
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

// The running binary, as /proc/self/exe names it.
std::u16string executablePath() {
  std::string path(4096, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return {};
  path.resize(static_cast<std::size_t>(length));
  return fromUtf8(path).value_or(std::u16string());
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

// In a Wayland session neither DPMS nor the screen saver of Xwayland reaches
// the real display, and X grabs hold only X programs: there is no hold.
class NoGuard final : public HoldGuard {
 public:
  void start() override {}
  void stop() override {}
};
class NoInputBlock final : public Input {
 public:
  void blockInput(bool) override {}
};

bool waylandSession() {
  const char* type = std::getenv("XDG_SESSION_TYPE");
  const char* display = std::getenv("WAYLAND_DISPLAY");
  return (type != nullptr && std::string(type) == "wayland") ||
         (display != nullptr && display[0] != '\0');
}

}  // namespace
}  // namespace platform::linux_desktop

int main(int argc, char** argv) {
  using namespace platform::linux_desktop;
  QApplication qt(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setApplicationName(QStringLiteral("Tenebrolite"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/tenebrolite.ico")));

  const bool wayland = waylandSession();
  const std::string config = configHome();
  FileRegistry registry(config + "/Velmarind/Tenebrolite.conf");
  DesktopAutostart autostart(config + "/autostart");
  power::HoldGuardRule guardRule;
  X11HoldGuard x11Guard(guardRule);
  X11Input x11Input(x11Guard);
  NoGuard noGuard;
  NoInputBlock noInputBlock;

  bool waylandToldOnce = false;
  QtWindowSystem windows([&] {
    if (wayland) {
      // Once a run: a click that would otherwise fail in silence.
      if (!waylandToldOnce) {
        waylandToldOnce = true;
        windows.messageBox(0,
                           u"Tenebrolite cannot switch the display off in a Wayland session "
                           u"yet. Log in with an X11 session.",
                           u"Tenebrolite", platform::mb::kOk);
      }
      return;
    }
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
      XcbPower power(x11->connection());
      powerDown(power);
    }
  });
  QtShell shell(windows, tray::popupEntries());
  ThreadSleeper sleeper;
  LinuxAppInfo appInfo;
  QtLocale locale;
  platform::HoldGuard& guard = wayland ? static_cast<platform::HoldGuard&>(noGuard) : x11Guard;
  platform::Input& input = wayland ? static_cast<platform::Input&>(noInputBlock) : x11Input;
  app::Platform platform{registry, windows, shell,  input,    guard,
                         sleeper,  appInfo, locale, autostart};

  app::Application application(platform);
  application.Main();
  windows.runEventLoop();
  application.Form_Terminate();
  return 0;
}
