#pragma once

#include <windows.h>

#include <set>

#include "platform/win32/handles.h"
#include "platform/win32/system_library.h"
#include "platform/window.h"

namespace platform::win32 {

// The program's windows on the Win32 window manager: the hidden main window,
// its popup menu, message boxes and the event loop that runs while any window
// of the program exists.
class Win32WindowSystem final : public WindowSystem {
 public:
  explicit Win32WindowSystem(HINSTANCE instance);
  ~Win32WindowSystem() override;
  Win32WindowSystem(const Win32WindowSystem&) = delete;
  Win32WindowSystem& operator=(const Win32WindowSystem&) = delete;

  WindowHandle loadMainWindow(const std::u16string& caption, MainWindowEvents& events) override;
  void hideWindow(WindowHandle window) override;
  IconHandle smallIcon(WindowHandle window) override;
  void popupMenu(WindowHandle owner, const std::vector<MenuEntry>& entries) override;
  std::vector<WindowHandle> loadedWindows() override;
  void unloadWindow(WindowHandle window) override;
  std::intptr_t sendMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam) override;
  void dispatchPendingMessages() override;
  int messageBox(WindowHandle owner, const std::u16string& text, const std::u16string& title,
                 std::uint32_t type) override;
  unsigned dpiAt(int x, int y) override;
  WindowHandle loadDialog(const DialogLayout& design, DialogEvents& events) override;
  void bringToFront(WindowHandle window) override;
  std::u16string controlText(WindowHandle dialog, int control) override;
  void setControlText(WindowHandle dialog, int control, const std::u16string& text) override;

  // Runs until the last window of the program is gone.
  void runEventLoop();

 private:
  struct Dialog;
  static LRESULT CALLBACK mainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleMain(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void dispatch(MSG& message);
  void forget(HWND hwnd);

  HINSTANCE instance_;
  ATOM mainClass_ = 0;
  ATOM dialogClass_ = 0;
  UINT taskbarCreated_ = 0;
  MainWindowEvents* mainEvents_ = nullptr;
  std::set<HWND> windows_;
  std::set<HWND> dialogs_;  // they get Tab and the access keys through IsDialogMessage
  OwnedIcon smallIcon_;
  SystemLibrary shcore_{L"shcore.dll"};
};

}  // namespace platform::win32
