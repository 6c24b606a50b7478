#pragma once

// Drives the built Tenebrolite.exe from outside, as the shell and a user
// would, and reads back the calls it made from Wine's relay trace.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "tray/menu.h"

namespace e2e {

inline const std::wstring kSettingsKey = L"Software\\Velmarind\\Tenebrolite";

// The program's texts are ASCII or UTF-16 alike.
inline std::wstring wide(std::u16string_view text) {
  return {text.begin(), text.end()};
}

// The folder of the test program, with Tenebrolite.exe and help.html beside it.
inline std::wstring buildFolder() {
  wchar_t path[MAX_PATH * 4];
  const std::wstring exe(path, GetModuleFileNameW(nullptr, path, MAX_PATH * 4));
  return exe.substr(0, exe.find_last_of(L'\\'));
}

// Polls until the condition holds; true when it did in time. This thread's
// windows are serviced meanwhile.
inline bool waitFor(const std::function<bool()>& condition,
                    std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
  for (const auto end = std::chrono::steady_clock::now() + timeout; !condition();) {
    if (std::chrono::steady_clock::now() > end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return true;
}

// Runs a Linux command line, waits for it to end and gives what it printed.
inline std::string runUnix(const std::wstring& commandLine) {
  // Wine does not signal the handle of a Linux process when it ends: the
  // output appears under its final name once it is complete. It goes to the
  // build folder (Z:\work is /work), which no other checkout shares.
  static int serial = 0;
  std::wstring out = buildFolder().substr(2) + L"\\unix-output-" + std::to_wstring(++serial);
  std::replace(out.begin(), out.end(), L'\\', L'/');
  std::wstring command = L"/bin/sh -c \"(" + commandLine + L") >'" + out +
                         L".part' 2>/dev/null; mv '" + out + L".part' '" + out + L"'\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return "could not start /bin/sh";
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  std::wstring path = L"Z:" + out;
  std::replace(path.begin(), path.end(), L'/', L'\\');
  waitFor([&] { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; });
  std::stringstream output;
  output << std::ifstream(std::string(path.begin(), path.end())).rdbuf();
  DeleteFileW(path.c_str());
  std::string text = output.str();
  return text.substr(0, text.find_last_not_of('\n') + 1);
}

// Waits for the X keyboard focus on the window with this title: Wine moves it
// a little after the Win32 focus, and keys typed before that go elsewhere.
inline bool waitForKeyboardFocus(const std::string& title) {
  return waitFor([&] { return runUnix(L"xdotool getwindowfocus getwindowname") == title; },
                 std::chrono::seconds(10));
}

// A window's text as the window itself tells it (GetWindowText does not ask a
// window of another program).
inline std::wstring windowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)), L'\0');
  SendMessageW(window, WM_GETTEXT, text.size() + 1, reinterpret_cast<LPARAM>(text.data()));
  return text;
}

// A window with a text box: where typed keys land when nothing holds them.
class TypingTarget {
 public:
  TypingTarget() {
    window_ = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"typing target",
                              WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 400, 120, nullptr, nullptr,
                              nullptr, nullptr);
    edit_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 10, 360, 30, window_,
                            nullptr, nullptr, nullptr);
  }
  ~TypingTarget() { DestroyWindow(window_); }
  std::wstring text() const { return windowText(edit_); }
  // Types with xdotool, as a person would; false without the keyboard focus.
  bool type(const std::wstring& keys) const {
    SetForegroundWindow(window_);
    SetFocus(edit_);
    if (!waitForKeyboardFocus("typing target")) return false;
    runUnix(L"xdotool type --delay 20 " + keys);
    return true;
  }

 private:
  HWND window_ = nullptr;
  HWND edit_ = nullptr;
};

// Copies the built program into a folder of the test's own (with a blank in
// its path), under a name; gives the copy's path. The next run overwrites it.
inline std::wstring install(const std::wstring& folder,
                            const std::wstring& name = L"Tenebrolite.exe") {
  const std::wstring path = L"C:\\tenebrolite e2e\\" + folder;
  CreateDirectoryW(L"C:\\tenebrolite e2e", nullptr);
  CreateDirectoryW(path.c_str(), nullptr);
  CopyFileW((buildFolder() + L"\\Tenebrolite.exe").c_str(), (path + L"\\" + name).c_str(), FALSE);
  return path + L"\\" + name;
}

// A REG_SZ value of the current user without its terminator, or "<absent>".
inline std::wstring storedText(const std::wstring& key, const std::wstring& name) {
  wchar_t data[1024];
  DWORD size = sizeof data;
  return RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, data,
                      &size) == ERROR_SUCCESS
             ? data
             : L"<absent>";
}

// "Holdit" as a test sets it, and absent again however the test ends.
class StoredHold {
 public:
  explicit StoredHold(const std::wstring& text = {}) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey.c_str(), L"Holdit");
    if (!text.empty()) set(text);
  }
  ~StoredHold() { RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey.c_str(), L"Holdit"); }
  void set(const std::wstring& text) const {
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey.c_str(), L"Holdit", REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
};

// The top-level windows of a process, of a class when one is given. Each
// window's class is asked for: Wine's FindWindowExW by class name can stop
// finding another process's windows for good in this process (seen after the
// dialog's Alt+C, with the test program in a folder of one length), while the
// same call from any other process still finds them.
inline std::vector<HWND> windowsOf(DWORD pid, const wchar_t* className = nullptr) {
  struct Search {
    DWORD pid;
    const wchar_t* className;
    std::vector<HWND> found;
  } search{pid, className, {}};
  EnumWindows(
      [](HWND w, LPARAM data) {
        auto& search = *reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        wchar_t name[256];
        if (owner == search.pid &&
            (search.className == nullptr ||
             (GetClassNameW(w, name, 256) > 0 && std::wstring_view(name) == search.className))) {
          search.found.push_back(w);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A visible top-level window of a process and class, waited for; null if none came.
inline HWND visibleWindowOf(DWORD pid, const wchar_t* className) {
  HWND found = nullptr;
  waitFor([&] {
    for (HWND window : windowsOf(pid, className)) found = IsWindowVisible(window) ? window : found;
    return found != nullptr;
  });
  return found;
}

// One call of the program's own code, as the relay trace reports it.
struct RelayCall {
  std::string function;      // "user32.BlockInput"
  unsigned long thread = 0;  // Wine's thread id
  double time = 0;           // seconds, by the trace's clock
  std::vector<unsigned long long> args;
  std::vector<std::string> texts;  // the text arguments, as the trace shows them
};

// The trace that the test runner collects, as a Windows path ("" without one).
inline std::string relayLog() {
  const char* unixPath = std::getenv("TENEBROLITE_RELAY_LOG");
  std::string path = unixPath != nullptr ? std::string("Z:") + unixPath : "";
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

// A running copy of the program. Where the test runner collects a trace, the
// calls that the tests look at are traced.
class Program {
 public:
  explicit Program(const std::wstring& exePath, const std::wstring& options = {}) {
    if (!relayLog().empty()) {
      // Children inherit WINEDEBUG; Wine then traces the functions named here.
      const std::wstring traced =
          L"user32.SendMessageW;user32.BlockInput;kernel32.Sleep;shell32.Shell_NotifyIconW;"
          L"user32.TrackPopupMenu;user32.SetForegroundWindow;user32.DestroyWindow;"
          L"user32.SetWindowsHookExW;user32.UnhookWindowsHookEx;shell32.ShellExecuteW;"
          L"user32.MessageBoxW;user32.PostMessageW;advapi32.RegSetValueExW;"
          L"user32.ChangeWindowMessageFilterEx;combase.CoInitializeEx";
      RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\Debug", L"RelayFromExclude");
      RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\Debug", L"RelayExclude");
      RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\Debug", L"RelayInclude", REG_SZ,
                      traced.c_str(), static_cast<DWORD>((traced.size() + 1) * sizeof(wchar_t)));
      SetEnvironmentVariableW(L"WINEDEBUG", L"+timestamp,+pid,+relay");
      logStart_ = std::max<std::streamoff>(0, std::ifstream(relayLog(), std::ios::ate).tellg());
    }
    std::wstring commandLine = L"\"" + exePath + L"\" " + options;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info_)) {
      std::abort();
    }
  }
  ~Program() {
    kill();
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  DWORD pid() const { return info_.dwProcessId; }
  bool running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
  // Waits for the program to end: its exit code, or STILL_ACTIVE.
  DWORD waitForExit() const {
    DWORD code = STILL_ACTIVE;
    WaitForSingleObject(info_.hProcess, 20000);
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
  }
  void kill() const {
    if (running()) TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 10000);
  }

  // The hidden main window, waited for.
  HWND mainWindow() const {
    std::vector<HWND> found;
    waitFor([&] { return !(found = windowsOf(pid(), L"TenebroliteMain")).empty(); });
    return found.empty() ? nullptr : found[0];
  }
  // Posts the notification icon's callback, as the shell does.
  void notifyIcon(UINT mouseMessage) const { PostMessageW(mainWindow(), 0x201, 1, mouseMessage); }
  // Posts a menu choice, as the popup menu does.
  void choose(tray::MenuCommand command) const {
    PostMessageW(mainWindow(), WM_COMMAND, static_cast<WPARAM>(command), 0);
  }
  // Ends the program with "Exit"; true when it ended as it should.
  bool exit() const {
    choose(tray::MenuCommand::Exit);
    return waitForExit() == 0;
  }

  // The traced calls of these functions from the program's own code, in order.
  std::vector<RelayCall> calls(std::initializer_list<const char*> functions) const {
    // Where the program's own code lies: the exe's preferred image base,
    // which Wine keeps. Calls that return elsewhere come from system DLLs.
    constexpr unsigned long long kImageStart = 0x140000000ULL, kImageEnd = 0x140100000ULL;
    std::vector<RelayCall> found;
    std::ifstream log(relayLog(), std::ios::binary);
    log.seekg(logStart_);
    // 574.268:0144:0148:Call user32.BlockInput(00000001) ret=14000136f: time,
    // process, thread, call.
    for (std::string line; std::getline(log, line);) {
      char* field = nullptr;
      const double time = std::strtod(line.c_str(), &field);
      const std::size_t at = line.find(":Call "), open = line.find('('), ret = line.rfind(") ret=");
      if (at == std::string::npos || open == std::string::npos || ret == std::string::npos ||
          *field != ':' || std::strtoul(field + 1, &field, 16) != pid()) {
        continue;
      }
      const unsigned long long from = std::strtoull(line.c_str() + ret + 6, nullptr, 16);
      RelayCall call{
          line.substr(at + 6, open - at - 6), std::strtoul(field + 1, nullptr, 16), time, {}, {}};
      // Wine names some modules in capitals (KERNEL32.Sleep).
      for (std::size_t i = 0; i < call.function.find('.'); ++i) call.function[i] |= 0x20;
      if (from < kImageStart || from >= kImageEnd ||
          std::find(functions.begin(), functions.end(), call.function) == functions.end()) {
        continue;
      }
      for (std::size_t at = open + 1, next = 0; at < ret; at = next + 1) {
        call.args.push_back(std::strtoull(line.c_str() + at, nullptr, 16));
        next = line.find_first_of(",)", at);
        // 00c93c70 L"C:\\help.html": a text argument has its text after its address.
        if (line.find(" L\"", at) < next) {
          std::string text;
          for (at = line.find(" L\"", at) + 3; line[at] != '"'; ++at) {
            text += line[at] == '\\' ? line[++at] : line[at];
          }
          call.texts.push_back(text);
          next = line.find_first_of(",)", at);
        }
      }
      found.push_back(call);
    }
    return found;
  }
  std::vector<RelayCall> calls(const std::string& function) const {
    return calls({function.c_str()});
  }
  // How many calls of a function had this first argument.
  std::size_t count(const std::string& function, unsigned long long firstArg) const {
    const auto all = calls(function);
    return std::count_if(all.begin(), all.end(), [&](auto& c) { return c.args.at(0) == firstArg; });
  }

 private:
  PROCESS_INFORMATION info_{};
  std::streamoff logStart_ = 0;
};

}  // namespace e2e
