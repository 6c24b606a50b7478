#include "fakes/fake_platform.h"

#include <algorithm>
#include <sstream>

namespace fakes {

std::string narrow(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return out;
}

platform::WindowHandle FakeWindowSystem::loadMainWindow(const std::u16string& caption,
                                                        platform::MainWindowEvents& events) {
  log_.push_back("load:" + narrow(caption));
  mainEvents = &events;
  windows.push_back(kMainWindow);
  return kMainWindow;
}

void FakeWindowSystem::hideWindow(platform::WindowHandle window) {
  log_.push_back("hide:" + std::to_string(window));
}

platform::IconHandle FakeWindowSystem::smallIcon(platform::WindowHandle) {
  return smallIconHandle;
}

void FakeWindowSystem::popupMenu(platform::WindowHandle owner,
                                 const std::vector<platform::MenuEntry>& entries) {
  log_.push_back("popup:" + std::to_string(owner));
  popups.push_back(entries);
}

void FakeWindowSystem::unloadWindow(platform::WindowHandle window) {
  log_.push_back("unload:" + std::to_string(window));
  windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
  if (window == dialog && dialogEvents != nullptr) {
    dialog = 0;
    dialogEvents->onUnloaded();
  }
}

std::intptr_t FakeWindowSystem::sendMessage(platform::WindowHandle window, std::uint32_t message,
                                            std::uintptr_t wParam, std::intptr_t lParam) {
  std::ostringstream call;
  call << "send:" << window << ",0x" << std::hex << message << ",0x" << wParam << "," << std::dec
       << lParam;
  log_.push_back(call.str());
  return 0;
}

void FakeWindowSystem::dispatchPendingMessages() {
  log_.push_back("dispatch");
  // Handlers may queue more; run until the queue is empty, as a peek loop does.
  while (!pending.empty()) {
    auto next = std::move(pending.front());
    pending.erase(pending.begin());
    next();
  }
}

int FakeWindowSystem::messageBox(platform::WindowHandle, const std::u16string& text,
                                 const std::u16string& title, std::uint32_t type) {
  log_.push_back("messagebox:" + std::to_string(type));
  lastMessageBoxText = text;
  lastMessageBoxTitle = title;
  return messageBoxAnswer;
}

unsigned FakeWindowSystem::dpiAt(int x, int) {
  return x < 1000 ? leftDpi : rightDpi;
}

platform::WindowHandle FakeWindowSystem::loadDialog(const platform::DialogLayout& design,
                                                    platform::DialogEvents& events) {
  log_.push_back("loadDialog");
  dialogs.push_back(design);
  dialogEvents = &events;
  dialog = 0x30030 + dialogs.size();
  windows.push_back(dialog);
  controls.clear();
  for (const platform::ControlLayout& control : design.controls)
    controls[control.id] = control.text;
  return dialog;
}

void FakeWindowSystem::bringToFront(platform::WindowHandle window) {
  log_.push_back("front:" + std::to_string(window));
}

std::u16string FakeWindowSystem::controlText(platform::WindowHandle, int control) {
  return controls[control];
}

void FakeWindowSystem::setControlText(platform::WindowHandle, int control,
                                      const std::u16string& text) {
  log_.push_back("setText:" + narrow(text));
  typeInto(control, text);
}

void FakeWindowSystem::typeInto(int control, const std::u16string& text) {
  controls[control] = text;
  dialogEvents->onTextChanged(control);
}

bool FakeShell::notifyIcon(std::uint32_t message, const platform::TrayIconData& data) {
  log_.push_back(message == platform::nim::kAdd      ? "nim:add"
                 : message == platform::nim::kModify ? "nim:modify"
                 : message == platform::nim::kDelete ? "nim:delete"
                                                     : "nim:" + std::to_string(message));
  records.push_back(data);
  return true;
}

void FakeShell::execute(platform::WindowHandle owner, const std::u16string& verb,
                        const std::u16string& file, int showCommand) {
  log_.push_back("shell:" + std::to_string(owner) + "," + narrow(verb) + "," + narrow(file) + "," +
                 std::to_string(showCommand));
}

}  // namespace fakes
