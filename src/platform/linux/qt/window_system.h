#pragma once

#include <QMenu>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>

#include "platform/window.h"

namespace platform::linux_desktop {

// Fills a menu with the entries; choosing one posts its command. No access
// keys: an "&" in a caption is shown as it is.
class QtWindowSystem;
void fillMenu(QMenu& menu, const std::vector<MenuEntry>& entries, QtWindowSystem& windows);

// The program's windows on Qt Widgets: the hidden main window (a handle with
// no widget: it is never shown), the popup menu, the dialog, message boxes
// and the event loop that runs while any window of the program exists.
class QtWindowSystem final : public WindowSystem {
 public:
  // powerDown answers the main window's WM_SYSCOMMAND/SC_MONITORPOWER; false
  // when the display could not be switched off.
  explicit QtWindowSystem(std::function<bool()> powerDown);
  ~QtWindowSystem() override;
  QtWindowSystem(const QtWindowSystem&) = delete;
  QtWindowSystem& operator=(const QtWindowSystem&) = delete;

  WindowHandle loadMainWindow(const std::u16string& caption, MainWindowEvents& events) override;
  void hideWindow(WindowHandle window) override;
  IconHandle smallIcon(WindowHandle window) override;
  void popupMenu(WindowHandle owner, const std::vector<MenuEntry>& entries) override;
  unsigned dpiAt(int x, int y) override;
  WindowHandle loadDialog(const DialogLayout& design, DialogEvents& events) override;
  void bringToFront(WindowHandle window) override;
  std::u16string controlText(WindowHandle dialog, int control) override;
  void setControlText(WindowHandle dialog, int control, const std::u16string& text) override;
  std::vector<WindowHandle> loadedWindows() override;
  void unloadWindow(WindowHandle window) override;
  std::intptr_t sendMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam) override;
  void dispatchPendingMessages() override;
  int messageBox(WindowHandle owner, const std::u16string& text, const std::u16string& title,
                 std::uint32_t type) override;

  // What the notification icon and its exported menu report. Both are queued,
  // as the window messages of the Win32 program are: they run from the event
  // loop or from dispatchPendingMessages, never inside the icon's own code.
  void postTrayNotification(std::uint32_t mouseMessage);
  // The hold began or ended. A panel tells of clicks on the icon over D-Bus,
  // which the hold does not stop: those that came during the hold are held
  // input, and dropped (a double click is one switch-off, as on Windows).
  void holdingInput(bool holding);
  void postMenuCommand(int command);

  // Runs the event loop until the last window of the program is gone.
  void runEventLoop();

 private:
  struct Dialog;
  void forget(WindowHandle window);
  QWidget* control(WindowHandle dialog, int control);

  std::function<bool()> powerDown_;
  MainWindowEvents* mainEvents_ = nullptr;
  WindowHandle mainWindow_ = 0;
  std::map<WindowHandle, std::unique_ptr<Dialog>> dialogs_;
  WindowHandle nextHandle_ = 1;
  std::unique_ptr<QMenu> popup_;
  bool looping_ = false;
  // From the end of a hold until what came during it has been handled.
  bool afterHold_ = false;
};

}  // namespace platform::linux_desktop
