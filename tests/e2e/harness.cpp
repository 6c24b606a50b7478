#include "harness.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace e2e {
namespace {

constexpr wchar_t kMainClass[] = L"TenebroliteMain";
constexpr UINT kTrayCallback = 0x201;
// Where the program's own code lies: the exe's preferred image base, which
// Wine keeps. Calls returning elsewhere come from inside system DLLs.
constexpr unsigned long long kImageStart = 0x140000000ULL;
constexpr unsigned long long kImageEnd = 0x140100000ULL;

std::wstring folderOf(const std::wstring& path) {
  return path.substr(0, path.find_last_of(L'\\'));
}

void prepareRelay() {
  static bool done = false;
  if (done) return;
  done = true;
  HKEY key = nullptr;
  RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\Debug", 0, nullptr, 0, KEY_ALL_ACCESS,
                  nullptr, &key, nullptr);
  // By default Wine leaves out calls made from system DLLs and a list of
  // common functions; only the functions named here are traced.
  RegDeleteValueW(key, L"RelayFromExclude");
  RegDeleteValueW(key, L"RelayExclude");
  std::wstring include;
  for (const char* c = relayFunctions(); *c != '\0'; ++c)
    include.push_back(static_cast<wchar_t>(*c));
  RegSetValueExW(key, L"RelayInclude", 0, REG_SZ, reinterpret_cast<const BYTE*>(include.c_str()),
                 static_cast<DWORD>((include.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

// This process's environment with WINEDEBUG replaced, as a block for CreateProcessW.
std::wstring environmentWith(const std::wstring& assignment) {
  std::wstring block;
  wchar_t* env = GetEnvironmentStringsW();
  for (const wchar_t* entry = env; *entry != L'\0'; entry += wcslen(entry) + 1) {
    if (_wcsnicmp(entry, L"WINEDEBUG=", 10) == 0) continue;
    block += entry;
    block.push_back(L'\0');
  }
  FreeEnvironmentStringsW(env);
  block += assignment;
  block.push_back(L'\0');
  block.push_back(L'\0');
  return block;
}

}  // namespace

// Wine writes the trace to the Unix stderr, which a child shares with this
// program; the test runner sends that to the file named here.
std::string relayLogPath() {
  const char* unixPath = std::getenv("TENEBROLITE_RELAY_LOG");
  if (unixPath == nullptr) return {};
  std::string path = std::string("Z:") + unixPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::uintmax_t relayLogSize() {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(relayLogPath().c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<std::uintmax_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

const char* relayFunctions() {
  return "user32.SendMessageW;user32.BlockInput;kernel32.Sleep;shell32.Shell_NotifyIconW;"
         "user32.TrackPopupMenu;user32.SetForegroundWindow;user32.DestroyWindow;"
         "user32.SetWindowsHookExW;user32.UnhookWindowsHookEx;shell32.ShellExecuteW;"
         "user32.MessageBoxW;user32.PostMessageW;combase.CoInitializeEx;"
         "user32.ChangeWindowMessageFilterEx";
}

std::wstring buildFolder() {
  wchar_t path[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  return folderOf(std::wstring(path, length));
}

std::wstring builtProgram() {
  return buildFolder() + L"\\Tenebrolite.exe";
}

namespace {
void pumpFor(DWORD milliseconds) {
  MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}
}  // namespace

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() > end) return false;
    pumpFor(20);
  }
}

void runUnix(const std::wstring& commandLine) {
  // Wine does not signal the handle of a Linux process when it ends: the
  // command leaves a marker file instead, and that is what is waited for.
  static int serial = 0;
  const std::wstring marker = L"/tmp/tenebrolite-e2e-" + std::to_wstring(GetCurrentProcessId()) +
                              L"-" + std::to_wstring(++serial);
  std::wstring markerWindows = L"Z:" + marker;
  for (wchar_t& c : markerWindows) {
    if (c == L'/') c = L'\\';
  }
  std::wstring command = L"/bin/sh -c \"" + commandLine + L"; touch " + marker + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    std::fprintf(stderr, "could not run %ls: error %lu\n", commandLine.c_str(), GetLastError());
    return;
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  waitFor([&] { return GetFileAttributesW(markerWindows.c_str()) != INVALID_FILE_ATTRIBUTES; });
  DeleteFileW(markerWindows.c_str());
}

std::string unixOutput(const std::wstring& commandLine) {
  static int serial = 0;
  const std::wstring output = L"/tmp/tenebrolite-e2e-out-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++serial);
  runUnix(commandLine + L" > " + output + L" 2>/dev/null");
  std::wstring windowsPath = L"Z:" + output;
  for (wchar_t& c : windowsPath) {
    if (c == L'/') c = L'\\';
  }
  std::ifstream file(std::string(windowsPath.begin(), windowsPath.end()));
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  file.close();
  DeleteFileW(windowsPath.c_str());
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

bool waitForKeyboardFocus(const std::string& title) {
  return waitFor(
      [&] { return unixOutput(L"/usr/bin/xdotool getwindowfocus getwindowname") == title; },
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
  focus();
}

TypingTarget::~TypingTarget() {
  DestroyWindow(window_);
}

void TypingTarget::focus() const {
  SetForegroundWindow(window_);
  SetFocus(edit_);
  pumpFor(100);
}

bool TypingTarget::type(const std::wstring& keys) const {
  focus();
  if (!waitForKeyboardFocus("typing target")) return false;
  runUnix(L"/usr/bin/xdotool type --delay 20 " + keys);
  return true;
}

std::wstring TypingTarget::text() const {
  wchar_t buffer[256] = {};
  GetWindowTextW(edit_, buffer, 256);
  return buffer;
}

TempFolder::TempFolder(const std::wstring& name) : path_(L"C:\\tenebrolite e2e\\" + name) {
  CreateDirectoryW(L"C:\\tenebrolite e2e", nullptr);
  CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        DeleteFileW((path_ + L"\\" + found.cFileName).c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(path_.c_str());
}

std::wstring TempFolder::install(const std::wstring& exeName) const {
  const std::wstring target = path_ + L"\\" + exeName;
  CopyFileW(builtProgram().c_str(), target.c_str(), FALSE);
  return target;
}

Program::Program(const std::wstring& exePath, bool relay) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring environment;
  if (relay) {
    prepareRelay();
    logOffset_ = relayLogSize();
    environment = environmentWith(L"WINEDEBUG=+pid,+timestamp,+relay");
  }
  std::wstring commandLine = L"\"" + exePath + L"\"";
  const BOOL started =
      CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                     relay ? CREATE_UNICODE_ENVIRONMENT : 0, relay ? environment.data() : nullptr,
                     folderOf(exePath).c_str(), &startup, &info_);
  if (!started) {
    std::fprintf(stderr, "could not start %ls: error %lu\n", exePath.c_str(), GetLastError());
    std::abort();
  }
  relay_ = relay;
}

Program::~Program() {
  kill();
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

bool Program::running() const {
  return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Program::waitForExit(std::chrono::milliseconds timeout) const {
  return WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

void Program::kill() {
  if (running()) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 10000);
  }
}

HWND Program::mainWindow() {
  if (mainWindow_ != nullptr) return mainWindow_;
  waitFor([&] {
    const auto windows = windowsOf(pid(), kMainClass);
    if (windows.empty()) return false;
    mainWindow_ = windows.front();
    return true;
  });
  return mainWindow_;
}

void Program::notifyIcon(UINT mouseMessage) {
  PostMessageW(mainWindow(), kTrayCallback, 1, static_cast<LPARAM>(mouseMessage));
}

void Program::chooseCommand(int command) {
  PostMessageW(mainWindow(), WM_COMMAND, static_cast<WPARAM>(command), 0);
}

std::vector<RelayCall> Program::relayCalls() const {
  std::vector<RelayCall> calls;
  if (!relay_) return calls;
  std::ifstream log(relayLogPath(), std::ios::binary);
  log.seekg(static_cast<std::streamoff>(logOffset_));
  std::string line;
  while (std::getline(log, line)) {
    // 1161.486:0144:0148:Call user32.SendMessageW(00020044,00000112,0000f170,00000002)
    // ret=14000136f time, process, thread, then the call.
    char* field = nullptr;
    const double time = std::strtod(line.c_str(), &field);
    if (*field != ':' || std::strtoul(field + 1, &field, 16) != pid() || *field != ':') continue;
    const unsigned long thread = std::strtoul(field + 1, nullptr, 16);
    const std::size_t call = line.find(":Call ");
    if (call == std::string::npos) continue;
    const std::size_t open = line.find('(', call);
    const std::size_t close = line.find(") ret=", open);
    if (open == std::string::npos || close == std::string::npos) continue;
    const unsigned long long ret = std::strtoull(line.c_str() + close + 6, nullptr, 16);
    if (ret < kImageStart || ret >= kImageEnd) continue;
    RelayCall parsed;
    parsed.time = time;
    parsed.thread = thread;
    parsed.function = line.substr(call + 6, open - call - 6);
    // Wine names some modules in capitals (KERNEL32.Sleep): compare in lower case.
    for (std::size_t i = 0; i < parsed.function.size() && parsed.function[i] != '.'; ++i) {
      parsed.function[i] =
          static_cast<char>(std::tolower(static_cast<unsigned char>(parsed.function[i])));
    }
    std::istringstream args(line.substr(open + 1, close - open - 1));
    std::string arg;
    while (std::getline(args, arg, ','))
      parsed.args.push_back(std::strtoull(arg.c_str(), nullptr, 16));
    calls.push_back(parsed);
  }
  return calls;
}

std::vector<Hold> Program::endedHolds() const {
  const auto sleeps = relayCalls("kernel32.Sleep");
  std::vector<RelayCall> unblocks;
  for (const RelayCall& call : relayCalls("user32.BlockInput")) {
    if (call.args.at(0) == 0) unblocks.push_back(call);
  }
  std::vector<Hold> holds;
  for (std::size_t i = 0; i < sleeps.size() && i < unblocks.size(); ++i) {
    holds.push_back({sleeps[i].args.at(0), sleeps[i].time, unblocks[i].time});
  }
  return holds;
}

bool Program::exit() {
  chooseCommand(command::kExit);
  return waitForExit();
}

std::size_t Program::callCount(const std::string& function, unsigned long long firstArg) const {
  std::size_t count = 0;
  for (const RelayCall& call : relayCalls(function)) {
    if (!call.args.empty() && call.args[0] == firstArg) ++count;
  }
  return count;
}

std::vector<RelayCall> Program::relayCalls(const std::string& function) const {
  std::vector<RelayCall> matching;
  for (const RelayCall& call : relayCalls()) {
    if (call.function == function) matching.push_back(call);
  }
  return matching;
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
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner != s->pid) return TRUE;
        if (s->className != nullptr) {
          wchar_t name[64] = {};
          GetClassNameW(hwnd, name, 64);
          if (wcscmp(name, s->className) != 0) return TRUE;
        }
        s->found.push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND visibleWindowOf(DWORD pid, const wchar_t* className) {
  HWND found = nullptr;
  waitFor([&] {
    for (HWND window : windowsOf(pid, className)) {
      if (IsWindowVisible(window)) found = window;
    }
    return found != nullptr;
  });
  return found;
}

std::wstring windowText(HWND window) {
  const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

StoredHold::StoredHold(const std::wstring& text) {
  set(text);
}

void StoredHold::set(const std::wstring& text) {
  reg::setText(kSettingsKey, L"Holdit", text);
}

void StoredHold::setRaw(DWORD type, const std::vector<BYTE>& data) {
  clear();
  reg::setRaw(kSettingsKey, L"Holdit", type, data);
}

void StoredHold::clear() {
  reg::deleteValue(kSettingsKey, L"Holdit");
}

namespace reg {

bool keyExists(const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

void deleteTree(const std::wstring& path) {
  RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
  RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
}

void deleteValue(const std::wstring& path, const std::wstring& name) {
  RegDeleteKeyValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str());
}

void setText(const std::wstring& path, const std::wstring& name, const std::wstring& text) {
  RegSetKeyValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), REG_SZ, text.c_str(),
                  static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void setRaw(const std::wstring& path, const std::wstring& name, DWORD type,
            const std::vector<BYTE>& data) {
  RegSetKeyValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), type, data.data(),
                  static_cast<DWORD>(data.size()));
}

bool raw(const std::wstring& path, const std::wstring& name, DWORD& type, std::vector<BYTE>& data) {
  DWORD size = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type,
                   nullptr, &size) != ERROR_SUCCESS) {
    return false;
  }
  data.resize(size);
  return RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND,
                      &type, data.data(), &size) == ERROR_SUCCESS;
}

std::wstring text(const std::wstring& path, const std::wstring& name) {
  DWORD type = 0;
  std::vector<BYTE> data;
  if (!raw(path, name, type, data) || type != REG_SZ) return L"<absent>";
  std::wstring value(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
  while (!value.empty() && value.back() == L'\0') value.pop_back();
  return value;
}

std::vector<std::wstring> valueNames(const std::wstring& path) {
  std::vector<std::wstring> names;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return names;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD length = 256;
    if (RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    names.emplace_back(name, length);
  }
  RegCloseKey(key);
  return names;
}

}  // namespace reg
}  // namespace e2e
