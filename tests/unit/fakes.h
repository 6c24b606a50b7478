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

namespace fakes {

using namespace platform;
using Log = std::vector<std::string>;

inline std::string narrow(std::u16string_view text) {
  return {text.begin(), text.end()};  // the tests' texts are ASCII
}

inline std::vector<std::uint8_t> utf16(std::u16string_view text) {
  std::vector<std::uint8_t> bytes;
  for (char16_t c : text) bytes.insert(bytes.end(), {std::uint8_t(c & 0xFF), std::uint8_t(c >> 8)});
  return bytes;
}

// Writes "what:part,part,..." into the log.
class Recorder {
 public:
  explicit Recorder(Log& log) : log_(log) {}

 protected:
  template <typename... Parts>
  void add(std::string entry, const Parts&... parts) {
    const char* separator = ":";
    ((entry += std::exchange(separator, ",") + text(parts)), ...);
    log_.push_back(entry);
  }

 private:
  static std::string text(const std::u16string& part) { return narrow(part); }
  static std::string text(std::uintmax_t part) { return std::to_string(part); }
  Log& log_;
};

// Keys by path and values by name. Rights are checked per handle, as the
// registry does; a nonzero refusal makes every such call fail with it.
class Registry final : public platform::Registry {
 public:
  struct Value {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> bytes;
  };
  std::map<std::u16string, std::map<std::u16string, Value>> keys;
  RegResult refuseOpen = 0, refuseCreate = 0, refuseSet = 0;
  std::function<void()> afterSizeQuery;  // runs between the two queries of a read

  void putText(const std::u16string& key, const std::u16string& name, std::u16string_view text) {
    keys[key][name] = {reg_type::kSz, utf16(std::u16string(text) + u'\0')};
  }
  // A REG_SZ value up to its first NUL; nothing when absent.
  std::optional<std::u16string> text(const std::u16string& key, const std::u16string& name) {
    if (!keys.contains(key) || !keys[key].contains(name)) return std::nullopt;
    const std::vector<std::uint8_t>& b = keys[key][name].bytes;
    std::u16string out;
    for (std::size_t i = 0; i + 1 < b.size() && (b[i] | b[i + 1]) != 0; i += 2)
      out.push_back(static_cast<char16_t>(b[i] | (b[i + 1] << 8)));
    return out;
  }
  std::size_t openHandles() const { return handles_.size(); }

  RegResult openKey(RegRoot, const std::u16string& path, std::uint32_t access,
                    RegKey& key) override {
    key = 0;
    if (refuseOpen != 0) return refuseOpen;
    return keys.contains(path) ? handOut(path, access, key) : reg_result::kFileNotFound;
  }
  RegResult createKey(RegRoot, const std::u16string& path, std::uint32_t access,
                      RegKey& key) override {
    key = 0;
    if (refuseCreate != 0) return refuseCreate;
    keys[path];
    return handOut(path, access, key);
  }
  RegResult setValue(RegKey key, const std::u16string& name, std::uint32_t type,
                     const std::uint8_t* data, std::uint32_t size) override {
    if (!allowed(key, reg_access::kSetValue)) return reg_result::kAccessDenied;
    if (refuseSet != 0) return refuseSet;
    keys[handles_[key].first][name] = {type, std::vector<std::uint8_t>(data, data + size)};
    return reg_result::kSuccess;
  }
  RegResult queryValue(RegKey key, const std::u16string& name, std::uint32_t& type,
                       std::uint8_t* data, std::uint32_t& size) override {
    if (!allowed(key, reg_access::kQueryValue)) return reg_result::kAccessDenied;
    auto& values = keys[handles_[key].first];
    if (!values.contains(name)) return reg_result::kFileNotFound;
    const Value& value = values[name];
    type = value.type;
    const auto actual = static_cast<std::uint32_t>(value.bytes.size());
    const bool fits = data != nullptr && size >= actual;
    size = actual;
    if (data == nullptr && afterSizeQuery) afterSizeQuery();
    if (data == nullptr) return reg_result::kSuccess;
    if (!fits) return reg_result::kMoreData;
    std::copy(value.bytes.begin(), value.bytes.end(), data);
    return reg_result::kSuccess;
  }
  RegResult closeKey(RegKey key) override {
    return handles_.erase(key) == 1 ? reg_result::kSuccess : reg_result::kInvalidHandle;
  }

 private:
  RegResult handOut(const std::u16string& path, std::uint32_t access, RegKey& key) {
    key = next_++;
    handles_[key] = {path, access};
    return reg_result::kSuccess;
  }
  bool allowed(RegKey key, std::uint32_t right) const {
    return handles_.contains(key) && (handles_.at(key).second & right) != 0;
  }
  std::map<RegKey, std::pair<std::u16string, std::uint32_t>> handles_;
  RegKey next_ = 0x1000;
};

class Windows final : public WindowSystem, Recorder {
 public:
  using Recorder::Recorder;
  static constexpr WindowHandle kMain = 16;
  IconHandle icon = 32;
  std::vector<WindowHandle> windows;
  MainWindowEvents* main = nullptr;
  std::vector<MenuEntry> popup;                // the entries of the last popup
  std::vector<std::function<void()>> pending;  // each runs at the next dispatch
  int answer = 0;                              // what every message box returns
  unsigned leftDpi = 96, rightDpi = 96;        // the monitors either side of x = 1000
  std::vector<DialogLayout> dialogs;           // every dialog loaded
  DialogEvents* dialogEvents = nullptr;
  WindowHandle dialog = 0;
  std::map<int, std::u16string> controls;  // the open dialog's texts

  WindowHandle loadMainWindow(const std::u16string& caption, MainWindowEvents& events) override {
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
    if (window == dialog) {
      dialog = 0;
      dialogEvents->onUnloaded();
    }
  }
  std::intptr_t sendMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam) override {
    add("send", window, message, wParam, static_cast<std::uintmax_t>(lParam));
    return 0;
  }
  void dispatchPendingMessages() override {
    add("dispatch");
    while (!pending.empty()) {
      auto next = std::move(pending.front());
      pending.erase(pending.begin());
      next();
    }
  }
  int messageBox(WindowHandle owner, const std::u16string& text, const std::u16string& title,
                 std::uint32_t type) override {
    add("box", owner, title, type, text);
    return answer;
  }
  unsigned dpiAt(int x, int) override { return x < 1000 ? leftDpi : rightDpi; }
  WindowHandle loadDialog(const DialogLayout& design, DialogEvents& events) override {
    add("dialog");
    dialogs.push_back(design);
    dialogEvents = &events;
    dialog = 48 + dialogs.size();
    windows.push_back(dialog);
    controls.clear();
    for (const ControlLayout& control : design.controls) controls[control.id] = control.text;
    return dialog;
  }
  void bringToFront(WindowHandle window) override { add("front", window); }
  std::u16string controlText(WindowHandle, int control) override { return controls[control]; }
  // As with a real text box, setting the text raises the change event.
  void setControlText(WindowHandle, int control, const std::u16string& text) override {
    add("set", text);
    type(control, text);
  }
  // What a user does to the open dialog's text box.
  void type(int control, const std::u16string& text) {
    controls[control] = text;
    dialogEvents->onTextChanged(control);
  }
};

class Shell final : public platform::Shell, Recorder {
 public:
  using Recorder::Recorder;
  std::vector<TrayIconData> records;
  bool notifyIcon(std::uint32_t message, const TrayIconData& data) override {
    add(message == nim::kAdd ? "nim:add" : message == nim::kModify ? "nim:modify" : "nim:delete");
    records.push_back(data);
    return true;
  }
  void execute(WindowHandle owner, const std::u16string& verb, const std::u16string& file,
               int showCommand) override {
    add("shell", owner, verb, file, static_cast<std::uintmax_t>(showCommand));
  }
};

class Input final : public platform::Input, Recorder {
 public:
  using Recorder::Recorder;
  void blockInput(bool block) override { add(block ? "block" : "unblock"); }
};

class Sleeper final : public platform::Sleeper, Recorder {
 public:
  using Recorder::Recorder;
  void sleep(std::uint32_t milliseconds) override { add("sleep", milliseconds); }
};

class Locale final : public platform::Locale {
 public:
  NumberConventions conventions{u".", u",", u"$"};
  NumberConventions numberConventions() override { return conventions; }
};

class AppInfo final : public platform::AppInfo {
 public:
  std::u16string folder = u"C:\\Program Files\\Tenebrolite", baseName = u"Tenebrolite";
  std::u16string executableFolder() override { return folder; }
  std::u16string executableBaseName() override { return baseName; }
  std::u16string productName() override { return u"Tenebrolite"; }
};

inline const std::u16string kSettingsKey = u"Software\\Velmarind\\Tenebrolite";

// The whole system, faked, and the program on it, not yet started.
struct World {
  Log log;
  Registry registry;
  Windows windows{log};
  Shell shell{log};
  Input input{log};
  Sleeper sleeper{log};
  AppInfo appInfo;
  Locale locale;
  app::Platform platform{registry, windows, shell, input, sleeper, appInfo, locale};
  app::Application application{platform};
  // Starts the program and forgets what the start did.
  void start() {
    application.Main();
    log.clear();
  }
};

}  // namespace fakes
