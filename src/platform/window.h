#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// A window as the system knows it; 0 is no window.
using WindowHandle = std::uintptr_t;
// An icon picture as the system knows it.
using IconHandle = std::uintptr_t;

namespace msg {
inline constexpr std::uint32_t kSysCommand = 0x0112;
inline constexpr std::uint32_t kMouseMove = 0x0200;
inline constexpr std::uint32_t kLButtonDown = 0x0201;
inline constexpr std::uint32_t kLButtonUp = 0x0202;
inline constexpr std::uint32_t kLButtonDblClk = 0x0203;
inline constexpr std::uint32_t kRButtonDown = 0x0204;
inline constexpr std::uint32_t kRButtonUp = 0x0205;
inline constexpr std::uint32_t kMButtonUp = 0x0208;
}  // namespace msg

inline constexpr std::uintptr_t kScMonitorPower = 0xF170;
// What a platform that knows the display could not be switched off answers to
// SC_MONITORPOWER. Windows' own answer is 0 whatever happened.
inline constexpr std::intptr_t kMonitorPowerFailed = -1;

namespace mb {
inline constexpr std::uint32_t kOk = 0x0;
inline constexpr std::uint32_t kYesNo = 0x4;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;
}  // namespace mb

// One entry of a popup menu; a separator has no command.
struct MenuEntry {
  int command = 0;
  std::u16string caption;
  bool separator = false;
};

// What the hidden main window reports to the program.
class MainWindowEvents {
 public:
  virtual ~MainWindowEvents() = default;
  // The notification icon's callback: the mouse message that happened on it.
  virtual void onTrayNotification(std::uint32_t mouseMessage) = 0;
  virtual void onMenuCommand(int command) = 0;
  // The shell's "TaskbarCreated" broadcast: the notification area is new.
  virtual void onTaskbarCreated() = 0;
  // The window's dpi changed (a new display scale): icons want another size.
  virtual void onDpiChanged() = 0;
};

// A rectangle in pixels.
struct PixelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const PixelRect&) const = default;
};

enum class ControlKind { Label, TextBox, PushButton };

// One control of a dialog; the text's "&" marks the access key. Controls take
// the focus in the order given, labels excepted.
struct ControlLayout {
  int id = 0;
  ControlKind kind = ControlKind::Label;
  std::u16string text;
  PixelRect rect;  // relative to the client area
};

// A modeless, ownerless dialog: a fixed tool window with a close box only.
struct DialogLayout {
  std::u16string caption;
  PixelRect client;   // the client area, from the screen's top-left corner
  unsigned dpi = 96;  // for the dialog's font
  std::vector<ControlLayout> controls;
};

// What a dialog reports to the program.
class DialogEvents {
 public:
  virtual ~DialogEvents() = default;
  // A text box's text changed, however it happened.
  virtual void onTextChanged(int control) = 0;
  virtual void onClicked(int control) = 0;
  // The window is gone (closed by the close box, or unloaded).
  virtual void onUnloaded() = 0;
};

// The windowing layer: the program's windows, menus, message boxes and the
// event loop.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // Creates the hidden top-level main window; it is never shown.
  virtual WindowHandle loadMainWindow(const std::u16string& caption, MainWindowEvents& events) = 0;
  virtual void hideWindow(WindowHandle window) = 0;
  // The application icon at the notification area's size for the window's dpi.
  virtual IconHandle smallIcon(WindowHandle window) = 0;
  // Opens a popup menu of the window at the mouse pointer; a choice comes back
  // through MainWindowEvents::onMenuCommand.
  virtual void popupMenu(WindowHandle owner, const std::vector<MenuEntry>& entries) = 0;

  // The dots per inch of the monitor that holds the point (in pixels).
  virtual unsigned dpiAt(int x, int y) = 0;
  // Creates, shows and activates a dialog, the focus in its first text box.
  virtual WindowHandle loadDialog(const DialogLayout& design, DialogEvents& events) = 0;
  // Brings a window to the front and activates it.
  virtual void bringToFront(WindowHandle window) = 0;
  virtual std::u16string controlText(WindowHandle dialog, int control) = 0;
  virtual void setControlText(WindowHandle dialog, int control, const std::u16string& text) = 0;

  // The program's windows that exist now, and destroying one of them.
  virtual std::vector<WindowHandle> loadedWindows() = 0;
  virtual void unloadWindow(WindowHandle window) = 0;

  virtual std::intptr_t sendMessage(WindowHandle window, std::uint32_t message,
                                    std::uintptr_t wParam, std::intptr_t lParam) = 0;
  // Dispatches every message already waiting for this thread, then returns.
  virtual void dispatchPendingMessages() = 0;
  // A modal message box; returns the button pressed.
  virtual int messageBox(WindowHandle owner, const std::u16string& text,
                         const std::u16string& title, std::uint32_t type) = 0;
};

// What the running executable knows about itself.
class AppInfo {
 public:
  virtual ~AppInfo() = default;
  // The folder of the executable: no trailing separator unless it is a root.
  virtual std::u16string executableFolder() = 0;
  // The executable's file name without its extension.
  virtual std::u16string executableBaseName() = 0;
  // ProductName from the executable's version information.
  virtual std::u16string productName() = 0;
  // What separates a folder from the name of a file in it: "\" on Windows.
  virtual std::u16string pathSeparator() = 0;
};

}  // namespace platform
