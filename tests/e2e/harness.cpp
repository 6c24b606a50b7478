#include "harness.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace e2e {
namespace {

// Where the program's own code lies: the exe's preferred image base, which
// Wine keeps. Calls that return elsewhere come from inside system DLLs.
constexpr unsigned long long kImageStart = 0x140000000ULL, kImageEnd = 0x140100000ULL;

// The file that the test runner sends Wine's trace to, as a Windows path.
std::string relayLog() {
  const char* unixPath = std::getenv("TENEBROLITE_RELAY_LOG");
  std::string path = unixPath != nullptr ? std::string("Z:") + unixPath : "";
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}

std::uintmax_t relayLogSize() {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(relayLog().c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<std::uintmax_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Children inherit WINEDEBUG; Wine then traces only the functions named here,
// whoever calls them.
void traceChildren() {
  static bool done = false;
  if (done || relayLog().empty()) return;
  done = true;
  HKEY key = nullptr;
  RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\Debug", 0, nullptr, 0, KEY_ALL_ACCESS,
                  nullptr, &key, nullptr);
  RegDeleteValueW(key, L"RelayFromExclude");
  RegDeleteValueW(key, L"RelayExclude");
  const std::wstring include =
      L"user32.SendMessageW;user32.BlockInput;kernel32.Sleep;shell32.Shell_NotifyIconW;"
      L"user32.TrackPopupMenu;user32.SetForegroundWindow;user32.DestroyWindow;"
      L"user32.SetWindowsHookExW;user32.UnhookWindowsHookEx;shell32.ShellExecuteW;"
      L"user32.MessageBoxW;user32.PostMessageW";
  RegSetValueExW(key, L"RelayInclude", 0, REG_SZ, reinterpret_cast<const BYTE*>(include.c_str()),
                 static_cast<DWORD>((include.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  SetEnvironmentVariableW(L"WINEDEBUG", L"+pid,+relay");
}

void pumpFor(DWORD milliseconds) {
  MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace

std::wstring buildFolder() {
  wchar_t path[MAX_PATH * 4];
  const std::wstring exe(path, GetModuleFileNameW(nullptr, path, MAX_PATH * 4));
  return exe.substr(0, exe.find_last_of(L'\\'));
}

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    pumpFor(20);
  }
  return true;
}

std::string runUnix(const std::wstring& commandLine) {
  // Wine does not signal the handle of a Linux process when it ends: the
  // command's output appears under its final name once it is complete.
  static int serial = 0;
  const std::wstring done = L"/tmp/tenebrolite-e2e-" + std::to_wstring(GetCurrentProcessId()) +
                            L"-" + std::to_wstring(++serial);
  std::wstring command = L"/bin/sh -c \"(" + commandLine + L") >" + done +
                         L".part 2>/dev/null; mv " + done + L".part " + done + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return {};
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  std::wstring path = L"Z:" + done;
  for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;
  waitFor([&] { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; });
  std::ifstream file(std::string(path.begin(), path.end()));
  std::string output((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  file.close();
  DeleteFileW(path.c_str());
  while (!output.empty() && output.back() == '\n') output.pop_back();
  return output;
}

bool waitForKeyboardFocus(const std::string& title) {
  return waitFor([&] { return runUnix(L"xdotool getwindowfocus getwindowname") == title; },
                 std::chrono::seconds(10));
}

TypingTarget::TypingTarget() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TenebroliteTypingTarget";
  RegisterClassW(&wc);
  window_ = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"typing target",
                            WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 400, 120, nullptr, nullptr,
                            wc.hInstance, nullptr);
  edit_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 360, 30,
                          window_, nullptr, wc.hInstance, nullptr);
}

std::wstring TypingTarget::text() const {
  return windowText(edit_);
}

bool TypingTarget::type(const std::wstring& keys) const {
  SetForegroundWindow(window_);
  SetFocus(edit_);
  if (!waitForKeyboardFocus("typing target")) return false;
  runUnix(L"xdotool type --delay 20 " + keys);
  return true;
}

TempFolder::TempFolder(const std::wstring& name) : path_(L"C:\\tenebrolite e2e\\" + name) {
  CreateDirectoryW(L"C:\\tenebrolite e2e", nullptr);
  CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((path_ + L"\\*.*").c_str(), &found);
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
    DeleteFileW((path_ + L"\\" + found.cFileName).c_str());
  }
  FindClose(search);
  RemoveDirectoryW(path_.c_str());
}

std::wstring TempFolder::install(const std::wstring& exeName) const {
  const std::wstring target = path_ + L"\\" + exeName;
  CopyFileW((buildFolder() + L"\\Tenebrolite.exe").c_str(), target.c_str(), FALSE);
  return target;
}

namespace reg {

void setText(const std::wstring& key, const std::wstring& name, const std::wstring& text) {
  RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), REG_SZ, text.c_str(),
                  static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void deleteValue(const std::wstring& key, const std::wstring& name) {
  RegDeleteKeyValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str());
}

std::wstring text(const std::wstring& key, const std::wstring& name) {
  wchar_t data[1024];
  DWORD size = sizeof data;
  if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, data,
                   &size) != ERROR_SUCCESS) {
    return L"<absent>";
  }
  return data;
}

}  // namespace reg

Program::Program(const std::wstring& exePath) {
  traceChildren();
  logStart_ = relayLogSize();
  std::wstring commandLine = L"\"" + exePath + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &info_)) {
    std::fprintf(stderr, "could not start %ls: error %lu\n", exePath.c_str(), GetLastError());
    std::abort();
  }
}

Program::~Program() {
  kill();
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

DWORD Program::exitCode() const {
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

void Program::kill() {
  if (running()) TerminateProcess(info_.hProcess, 1);
  WaitForSingleObject(info_.hProcess, 10000);
}

HWND Program::mainWindow() {
  waitFor([&] {
    const auto windows = windowsOf(pid(), L"TenebroliteMain");
    mainWindow_ = windows.empty() ? nullptr : windows.front();
    return mainWindow_ != nullptr;
  });
  return mainWindow_;
}

void Program::notifyIcon(UINT mouseMessage) {
  PostMessageW(mainWindow(), 0x201, 1, static_cast<LPARAM>(mouseMessage));
}

void Program::choose(tray::MenuCommand command) {
  PostMessageW(mainWindow(), WM_COMMAND, static_cast<WPARAM>(command), 0);
}

bool Program::exit() {
  choose(tray::MenuCommand::Exit);
  return waitForExit();
}

std::vector<RelayCall> Program::calls(std::initializer_list<const char*> functions) const {
  // 0144:0148:Call user32.BlockInput(00000001) ret=14000136f: process, thread, call.
  std::vector<RelayCall> found;
  std::ifstream log(relayLog(), std::ios::binary);
  log.seekg(static_cast<std::streamoff>(logStart_));
  for (std::string line; std::getline(log, line);) {
    char* field = nullptr;
    const std::size_t call = line.find(":Call "), open = line.find('('), ret = line.rfind(") ret=");
    if (call == std::string::npos || open == std::string::npos || ret == std::string::npos ||
        std::strtoul(line.c_str(), &field, 16) != pid()) {
      continue;
    }
    const unsigned long long from = std::strtoull(line.c_str() + ret + 6, nullptr, 16);
    RelayCall parsed{
        line.substr(call + 6, open - call - 6), std::strtoul(field + 1, nullptr, 16), {}};
    // Wine names some modules in capitals (KERNEL32.Sleep).
    for (std::size_t i = 0; i < parsed.function.find('.'); ++i) parsed.function[i] |= 0x20;
    if (from < kImageStart || from >= kImageEnd ||
        std::find(functions.begin(), functions.end(), parsed.function) == functions.end()) {
      continue;
    }
    std::istringstream args(line.substr(open + 1, ret - open - 1));
    for (std::string arg; std::getline(args, arg, ',');) {
      parsed.args.push_back(std::strtoull(arg.c_str(), nullptr, 16));
    }
    found.push_back(parsed);
  }
  return found;
}

std::size_t Program::count(const std::string& function, unsigned long long firstArg) const {
  std::size_t n = 0;
  for (const RelayCall& call : calls(function)) n += call.args.at(0) == firstArg ? 1 : 0;
  return n;
}

std::vector<unsigned long long> Program::endedHolds() const {
  // A hold's Sleep is the last one of the unblocking thread before the unblock.
  std::map<unsigned long, unsigned long long> slept;
  std::vector<unsigned long long> holds;
  for (const RelayCall& call : calls({"kernel32.Sleep", "user32.BlockInput"})) {
    if (call.function == "kernel32.Sleep") slept[call.thread] = call.args.at(0);
    if (call.function == "user32.BlockInput" && call.args.at(0) == 0) {
      holds.push_back(slept[call.thread]);
    }
  }
  return holds;
}

std::vector<HWND> windowsOf(DWORD pid, const wchar_t* className) {
  struct Search {
    DWORD pid;
    const wchar_t* className;
    std::vector<HWND> found;
  } search{pid, className, {}};
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        wchar_t name[64] = {};
        GetWindowThreadProcessId(hwnd, &owner);
        GetClassNameW(hwnd, name, 64);
        if (owner == s->pid && (s->className == nullptr || wcscmp(name, s->className) == 0)) {
          s->found.push_back(hwnd);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND visibleWindowOf(DWORD pid, const wchar_t* className) {
  HWND found = nullptr;
  waitFor([&] {
    for (HWND window : windowsOf(pid, className)) found = IsWindowVisible(window) ? window : found;
    return found != nullptr;
  });
  return found;
}

std::wstring windowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)), L'\0');
  SendMessageW(window, WM_GETTEXT, text.size() + 1, reinterpret_cast<LPARAM>(text.data()));
  return text;
}

}  // namespace e2e
