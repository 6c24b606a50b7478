#pragma once

// Drives the built Tenebrolite.exe from outside, as the shell and a user
// would, and reads back the calls it made from Wine's relay trace.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "tray/menu.h"

namespace e2e {

inline const std::wstring kSettingsKey = L"Software\\Velmarind\\Tenebrolite";
inline const std::wstring kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The folder of the test program, with Tenebrolite.exe and help.html beside it.
std::wstring buildFolder();

// Polls until the condition holds; true when it did in time. This thread's
// windows are serviced meanwhile.
bool waitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds timeout = std::chrono::seconds(20));

// Runs a Linux command line, waits for it to end and gives what it printed.
std::string runUnix(const std::wstring& commandLine);

// Waits until the X keyboard focus is on the window with this title: Wine
// moves it there a little after the Win32 focus, and keys typed before that
// go elsewhere.
bool waitForKeyboardFocus(const std::string& title);

// A visible window whose text box has the focus: where typed keys land when
// nothing holds them.
class TypingTarget {
 public:
  TypingTarget();
  ~TypingTarget() { DestroyWindow(window_); }
  TypingTarget(const TypingTarget&) = delete;
  TypingTarget& operator=(const TypingTarget&) = delete;
  std::wstring text() const;
  // Types with xdotool, as a person at the keyboard; false when the window
  // could not get the keyboard focus first.
  bool type(const std::wstring& keys) const;

 private:
  HWND window_ = nullptr;
  HWND edit_ = nullptr;
};

// A folder of its own for a test (its name has a blank), removed afterwards.
class TempFolder {
 public:
  explicit TempFolder(const std::wstring& name);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& path() const { return path_; }
  // Copies the built program into the folder under a name; gives its path.
  std::wstring install(const std::wstring& exeName = L"Tenebrolite.exe") const;

 private:
  std::wstring path_;
};

namespace reg {
void setText(const std::wstring& key, const std::wstring& name, const std::wstring& text);
void deleteValue(const std::wstring& key, const std::wstring& name);
// A REG_SZ value without its terminator, or "<absent>".
std::wstring text(const std::wstring& key, const std::wstring& name);
}  // namespace reg

// "Holdit" as a test sets it, and absent again however the test ends.
class StoredHold {
 public:
  explicit StoredHold(const std::wstring& text = {}) {
    reg::deleteValue(kSettingsKey, L"Holdit");
    if (!text.empty()) set(text);
  }
  ~StoredHold() { reg::deleteValue(kSettingsKey, L"Holdit"); }
  StoredHold(const StoredHold&) = delete;
  StoredHold& operator=(const StoredHold&) = delete;
  void set(const std::wstring& text) { reg::setText(kSettingsKey, L"Holdit", text); }
};

// One call of the program's own code, as the relay trace reports it.
struct RelayCall {
  std::string function;      // "user32.BlockInput"
  unsigned long thread = 0;  // Wine's thread id
  std::vector<unsigned long long> args;
};

// A running copy of the program. With the relay log of the test runner, the
// calls to the functions that the tests look at are traced.
class Program {
 public:
  explicit Program(const std::wstring& exePath);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  DWORD pid() const { return info_.dwProcessId; }
  bool running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
  bool waitForExit() const { return WaitForSingleObject(info_.hProcess, 20000) == WAIT_OBJECT_0; }
  DWORD exitCode() const;
  void kill();

  // The hidden main window, waited for.
  HWND mainWindow();
  // Posts the notification icon's callback, as the shell does.
  void notifyIcon(UINT mouseMessage);
  // Posts a menu choice, as the popup menu does.
  void choose(tray::MenuCommand command);
  // Ends the program with "Exit"; true when it ended.
  bool exit();

  // The traced calls of these functions ("user32.BlockInput"), in order.
  std::vector<RelayCall> calls(std::initializer_list<const char*> functions) const;
  std::vector<RelayCall> calls(const std::string& function) const { return calls({function.c_str()}); }
  // How many of them had this first argument.
  std::size_t count(const std::string& function, unsigned long long firstArg) const;
  // The length of each hold so far that has ended: a Sleep and the unblock after it.
  std::vector<unsigned long long> endedHolds() const;

 private:
  PROCESS_INFORMATION info_{};
  std::uintmax_t logStart_ = 0;
  HWND mainWindow_ = nullptr;
};

// The top-level windows of a process, of a class when one is given.
std::vector<HWND> windowsOf(DWORD pid, const wchar_t* className = nullptr);
// A visible top-level window of a process and class, waited for; null if none came.
HWND visibleWindowOf(DWORD pid, const wchar_t* className);
// A window's text as the window itself tells it (GetWindowText does not ask a
// window of another program).
std::wstring windowText(HWND window);

}  // namespace e2e
