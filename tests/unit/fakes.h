#pragma once

// Fakes of the platform seam. They write what the program asks of the system
// into one log, so that a test sees the order of calls across them, and they
// answer as the system does for everything the program relies on.
#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/application.h"
#include "settings/run_value.h"

namespace fakes {

using namespace platform;
using Log = std::vector<std::string>;
using Text = const std::u16string&;

inline std::string narrow(std::u16string_view text) {
  return {text.begin(), text.end()};  // the tests' texts are ASCII
}

inline std::vector<std::uint8_t> utf16(std::u16string_view text) {
  std::vector<std::uint8_t> bytes;
  for (char16_t c : text) bytes.insert(bytes.end(), {std::uint8_t(c & 0xFF), std::uint8_t(c >> 8)});
  return bytes;
}

// Writes "what:part,part,..." into the log.
struct Recorder {
  template <typename... Parts>
  void add(std::string entry, const Parts&... parts) {
    [[maybe_unused]] const char* separator = ":";  // unused when there are no parts
    ((entry += std::exchange(separator, ",") + text(parts)), ...);
    log.push_back(entry);
  }
  static std::string text(Text part) { return narrow(part); }
  static std::string text(std::intmax_t part) { return std::to_string(part); }
  Log& log;
};

// Keys by path and values by name. Rights are checked per handle, as the
// registry does; a nonzero refusal makes every such call fail with it.
struct Registry final : platform::Registry {
  struct Value {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> bytes;
  };
  std::map<std::u16string, std::map<std::u16string, Value>> keys;
  std::map<RegKey, std::pair<std::u16string, std::uint32_t>> handles;  // the open ones
  RegKey nextKey = 0x1000;
  RegResult refuseOpen = 0, refuseCreate = 0, refuseSet = 0;
  std::function<void()> afterSizeQuery;  // runs between the two queries of a read

  void putText(Text key, Text name, Text text) {
    keys[key][name] = {reg_type::kSz, utf16(text + u'\0')};
  }
  // A REG_SZ value up to its first NUL; nothing when absent.
  std::optional<std::u16string> text(Text key, Text name) {
    if (!keys.contains(key) || !keys[key].contains(name)) return std::nullopt;
    const std::vector<std::uint8_t>& b = keys[key][name].bytes;
    std::u16string out;
    for (std::size_t i = 0; i + 1 < b.size() && (b[i] | b[i + 1]) != 0; i += 2)
      out.push_back(static_cast<char16_t>(b[i] | (b[i + 1] << 8)));
    return out;
  }
  bool allowed(RegKey key, std::uint32_t right) {
    return handles.contains(key) && (handles[key].second & right) != 0;
  }
  RegResult handOut(Text path, std::uint32_t access, RegKey& key) {
    handles[key = nextKey++] = {path, access};
    return reg_result::kSuccess;
  }

  RegResult openKey(RegRoot, Text path, std::uint32_t access, RegKey& key) override {
    key = 0;
    if (refuseOpen != 0) return refuseOpen;
    return keys.contains(path) ? handOut(path, access, key) : reg_result::kFileNotFound;
  }
  RegResult createKey(RegRoot, Text path, std::uint32_t access, RegKey& key) override {
    key = 0;
    if (refuseCreate != 0) return refuseCreate;
    keys[path];
    return handOut(path, access, key);
  }
  RegResult setValue(RegKey key, Text name, std::uint32_t type, const std::uint8_t* data,
                     std::uint32_t size) override {
    if (!allowed(key, reg_access::kSetValue)) return reg_result::kAccessDenied;
    if (refuseSet != 0) return refuseSet;
    keys[handles[key].first][name] = {type, std::vector<std::uint8_t>(data, data + size)};
    return reg_result::kSuccess;
  }
  RegResult queryValue(RegKey key, Text name, std::uint32_t& type, std::uint8_t* data,
                       std::uint32_t& size) override {
    if (!allowed(key, reg_access::kQueryValue)) return reg_result::kAccessDenied;
    if (!keys[handles[key].first].contains(name)) return reg_result::kFileNotFound;
    const Value value = keys[handles[key].first][name];
    const bool fits = size >= value.bytes.size();
    type = value.type;
    size = static_cast<std::uint32_t>(value.bytes.size());
    if (data == nullptr && afterSizeQuery) afterSizeQuery();
    if (data == nullptr) return reg_result::kSuccess;
    if (!fits) return reg_result::kMoreData;
    std::copy(value.bytes.begin(), value.bytes.end(), data);
    return reg_result::kSuccess;
  }
  RegResult closeKey(RegKey key) override {
    return handles.erase(key) == 1 ? reg_result::kSuccess : reg_result::kInvalidHandle;
  }
};

struct Windows final : WindowSystem, Recorder {
  static constexpr WindowHandle kMain = 16;
  IconHandle icon = 32;
  std::vector<WindowHandle> windows;
  MainWindowEvents* main = nullptr;
  std::vector<MenuEntry> popup;                // the entries of the last popup
  std::vector<std::function<void()>> pending;  // each runs at the next dispatch
  int answer = 0;                              // what every message box returns
  std::intptr_t sendResult = 0;                // what every sent message returns
  unsigned leftDpi = 96, rightDpi = 96;        // the monitors either side of x = 1000
  int dialogsLoaded = 0;
  DialogEvents* dialogEvents = nullptr;
  WindowHandle dialog = 0;
  std::map<int, std::u16string> controls;  // the open dialog's texts

  explicit Windows(Log& log) : Recorder{log} {}
  WindowHandle loadMainWindow(Text caption, MainWindowEvents& events) override {
    add("load", caption);
    main = &events;
    windows.push_back(kMain);
    return kMain;
  }
  void hideWindow(WindowHandle window) override { add("hide", window); }
  IconHandle smallIcon(WindowHandle) override { return icon; }
  void popupMenu(WindowHandle owner, const std::vector<MenuEntry>& entries) override {
    add("popup", owner);
    popup = entries;
  }
  std::vector<WindowHandle> loadedWindows() override { return windows; }
  void unloadWindow(WindowHandle window) override {
    add("unload", window);
    std::erase(windows, window);
    if (window != dialog) return;
    dialog = 0;
    dialogEvents->onUnloaded();
  }
  std::intptr_t sendMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam) override {
    add("send", window, message, wParam, lParam);
    return sendResult;
  }
  void dispatchPendingMessages() override {
    add("dispatch");
    while (!pending.empty()) {
      const auto next = std::move(pending.front());
      pending.erase(pending.begin());
      next();
    }
  }
  int messageBox(WindowHandle owner, Text text, Text title, std::uint32_t type) override {
    add("box", owner, title, type, text);
    return answer;
  }
  unsigned dpiAt(int x, int) override { return x < 1000 ? leftDpi : rightDpi; }
  WindowHandle loadDialog(const DialogLayout& design, DialogEvents& events) override {
    add("dialog", design.dpi);
    dialogEvents = &events;
    windows.push_back(dialog = 49 + dialogsLoaded++);
    controls.clear();
    for (const ControlLayout& control : design.controls) controls[control.id] = control.text;
    return dialog;
  }
  void bringToFront(WindowHandle window) override { add("front", window); }
  std::u16string controlText(WindowHandle, int control) override { return controls[control]; }
  // As with a real text box, setting the text raises the change event.
  void setControlText(WindowHandle, int control, Text text) override {
    add("set", text);
    type(control, text);
  }
  // What a user does to the open dialog's text box.
  void type(int control, Text text) {
    controls[control] = text;
    dialogEvents->onTextChanged(control);
  }
};

struct Shell final : platform::Shell, Recorder {
  std::vector<TrayIconData> records;
  explicit Shell(Log& log) : Recorder{log} {}
  bool notifyIcon(std::uint32_t message, const TrayIconData& data) override {
    add(message == nim::kAdd ? "nim:add" : message == nim::kModify ? "nim:modify" : "nim:delete");
    records.push_back(data);
    return true;
  }
  void execute(WindowHandle owner, Text verb, Text file, int showCommand) override {
    add("shell", owner, verb, file, showCommand);
  }
};

// The input hold's parts: blocking input, the guard of the display and sleeping.
struct Hold final : platform::Input, platform::HoldGuard, platform::Sleeper, Recorder {
  explicit Hold(Log& log) : Recorder{log} {}
  void blockInput(bool block) override { add(block ? "block" : "unblock"); }
  void start() override { add("guard on"); }
  void stop() override { add("guard off"); }
  void sleep(std::uint32_t milliseconds) override { add("sleep", milliseconds); }
};

struct Locale final : platform::Locale {
  NumberConventions conventions{u".", u",", u"$"};
  NumberConventions numberConventions() override { return conventions; }
};

struct AppInfo final : platform::AppInfo {
  std::u16string folder = u"C:\\Program Files\\Tenebrolite", baseName = u"Tenebrolite";
  std::u16string executableFolder() override { return folder; }
  std::u16string executableBaseName() override { return baseName; }
  std::u16string productName() override { return u"Tenebrolite"; }
  std::u16string pathSeparator() override { return u"\\"; }
};

inline const std::u16string kSettingsKey = u"Software\\Velmarind\\Tenebrolite";

// The whole system, faked, and the program on it, not yet started.
struct World {
  Log log;
  Registry registry;
  Windows windows{log};
  Shell shell{log};
  Hold hold{log};
  AppInfo appInfo;
  Locale locale;
  settings::RunValueAutostart autostart{registry};
  app::Platform platform{registry, windows, shell, hold, hold, hold, appInfo, locale, autostart};
  app::Application application{platform};
  // Starts the program and forgets what the start did.
  void start() {
    application.Main();
    log.clear();
  }
};

}  // namespace fakes
