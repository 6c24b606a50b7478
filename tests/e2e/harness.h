#pragma once

// Drives the built Tenebrolite.exe from outside, as the shell and a user
// would: starts copies of it, finds its hidden window, posts the icon's
// notifications, and reads back the calls it made from Wine's relay trace.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// What the menu's entries send to the main window when chosen.
namespace command {
inline constexpr int kSwitchOff = 101;
inline constexpr int kAntiShake = 102;
inline constexpr int kHelp = 103;
inline constexpr int kAbout = 104;
inline constexpr int kClose = 105;
inline constexpr int kExit = 106;
}  // namespace command

// The folder that holds the test program and Tenebrolite.exe beside it.
std::wstring buildFolder();
std::wstring builtProgram();

// Polls until the condition holds or the time is up; true when it held. This
// thread's windows are serviced meanwhile.
bool waitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds timeout = std::chrono::seconds(20));

// Runs a Linux program (such as xdotool) and waits for it to end; the second
// form returns what it printed.
void runUnix(const std::wstring& commandLine);
std::string unixOutput(const std::wstring& commandLine);

// Waits until the X server's keyboard focus is on the window with this title:
// Wine moves it there a little after the Win32 focus, and keys typed before
// that go elsewhere.
bool waitForKeyboardFocus(const std::string& title);

// A visible window with a text box that has the keyboard focus: where typed
// keys land when nothing holds them.
class TypingTarget {
 public:
  TypingTarget();
  ~TypingTarget();
  TypingTarget(const TypingTarget&) = delete;
  TypingTarget& operator=(const TypingTarget&) = delete;
  std::wstring text() const;
  // Brings the window to the front with the focus in the text box.
  void focus() const;
  // Types with xdotool, as a person at the keyboard; false when the window
  // could not get the keyboard focus first.
  bool type(const std::wstring& keys) const;

 private:
  HWND window_ = nullptr;
  HWND edit_ = nullptr;
};

// A folder of its own for one test, deleted with everything in it afterwards.
class TempFolder {
 public:
  explicit TempFolder(const std::wstring& name);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& path() const { return path_; }
  // Copies the built program into the folder under a name; returns its path.
  std::wstring install(const std::wstring& exeName = L"Tenebrolite.exe") const;

 private:
  std::wstring path_;
};

// "Holdit" as a test wants it, and absent again when the test ends, however
// it ends (an assertion that fails returns early).
class StoredHold {
 public:
  StoredHold() { clear(); }
  explicit StoredHold(const std::wstring& text);
  ~StoredHold() { clear(); }
  StoredHold(const StoredHold&) = delete;
  StoredHold& operator=(const StoredHold&) = delete;
  void set(const std::wstring& text);
  void setRaw(DWORD type, const std::vector<BYTE>& data);
  void clear();
};

// One hold that has ended: its Sleep call and the unblock after it.
struct Hold {
  unsigned long long milliseconds = 0;
  double slept = 0;      // when Sleep was called, in seconds
  double unblocked = 0;  // when input was let go again
};

// One call the program made, as Wine's relay trace reports it.
struct RelayCall {
  double time = 0;           // seconds, from the trace's timestamps
  unsigned long thread = 0;  // Wine's thread id
  std::string function;      // "user32.SendMessageW"
  std::vector<unsigned long long> args;
};

class Program {
 public:
  // Starts the program; with relay, the calls listed in relayFunctions() are
  // traced into a log that relayCalls() reads.
  Program(const std::wstring& exePath, bool relay);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  DWORD pid() const { return info_.dwProcessId; }
  HANDLE process() const { return info_.hProcess; }
  bool running() const;
  bool waitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;
  void kill();

  // The program's hidden main window, waited for.
  HWND mainWindow();
  // Posts the notification icon's callback as the shell does.
  void notifyIcon(UINT mouseMessage);
  // Posts a menu choice as the popup menu does.
  void chooseCommand(int command);
  // Ends the program as a user does, with "Exit"; true when it ended.
  bool exit();

  // The traced calls made by the program's own code, in order.
  std::vector<RelayCall> relayCalls() const;
  std::vector<RelayCall> relayCalls(const std::string& function) const;
  // The holds of the switch-offs so far that have ended, in order.
  std::vector<Hold> endedHolds() const;
  // How many traced calls of a function had this first argument.
  std::size_t callCount(const std::string& function, unsigned long long firstArg) const;

 private:
  PROCESS_INFORMATION info_{};
  bool relay_ = false;
  std::uintmax_t logOffset_ = 0;
  HWND mainWindow_ = nullptr;
};

// The file that collects the relay trace of every program started here, and
// its size now.
std::string relayLogPath();
std::uintmax_t relayLogSize();

// The functions whose calls relayed runs record.
const char* relayFunctions();

// The top-level windows of a process, of a class when one is given.
std::vector<HWND> windowsOf(DWORD pid, const wchar_t* className = nullptr);
// A visible top-level window of a process and class, waited for; null if none came.
HWND visibleWindowOf(DWORD pid, const wchar_t* className);
// A window's text as the window itself tells it (GetWindowText does not ask a
// window of another program).
std::wstring windowText(HWND window);

// Registry access for arranging and checking.
namespace reg {
bool keyExists(const std::wstring& path);
void deleteTree(const std::wstring& path);
void deleteValue(const std::wstring& path, const std::wstring& name);
void setText(const std::wstring& path, const std::wstring& name, const std::wstring& text);
void setRaw(const std::wstring& path, const std::wstring& name, DWORD type,
            const std::vector<BYTE>& data);
// The raw value: type and bytes; false when absent.
bool raw(const std::wstring& path, const std::wstring& name, DWORD& type, std::vector<BYTE>& data);
std::wstring text(const std::wstring& path, const std::wstring& name);
std::vector<std::wstring> valueNames(const std::wstring& path);
}  // namespace reg

inline const std::wstring kSettingsKey = L"Software\\Velmarind\\Tenebrolite";
inline const std::wstring kVendorKey = L"Software\\Velmarind";
inline const std::wstring kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

}  // namespace e2e
