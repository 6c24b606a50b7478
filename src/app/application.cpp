#include "app/application.h"

#include "identity.h"
#include "info/help_about.h"
#include "power/switch_off.h"
#include "settings/catalogue.h"
#include "settings/registry_store.h"

namespace app {

using platform::RegRoot;

Application::Application(Platform& platform)
    : platform_(platform), form1_(platform.windows, platform.shell, *this) {}

void Application::Main() {
  setTexts();
  RunStartup();
}

int Application::SwitchOffCommand() {
  setTexts();
  form1_.LoadHidden();
  const power::SwitchOff context{platform_.windows, platform_.input,    platform_.holdGuard,
                                 platform_.sleeper, platform_.registry, texts_.SettingsKeyPath};
  const bool switchedOff = power::mnuOffBtn_Click(context, form1_.hWnd());
  UnloadAllForms();
  return switchedOff ? 0 : 1;
}

void Application::setTexts() {
  texts_.SiteUrl = std::u16string(identity::kSiteAddress);
  texts_.SettingsKeyPath = settings::settingsKeyPathFor(identity::kApplicationTitle);
  texts_.AppFolder = platform_.appInfo.executableFolder() + platform_.appInfo.pathSeparator();
}

void Application::RunStartup() {
  // Rewritten at every start, replacing whatever is there.
  for (const settings::FixedValue& value : settings::kFixedValues) {
    save(texts_.SettingsKeyPath, value.name, std::u16string(value.data));
  }
  platform_.autostart.registerAtLogon(platform_.appInfo.productName(), texts_.AppFolder,
                                      platform_.appInfo.executableBaseName());

  form1_.Load();
}

void Application::save(const std::u16string& keyPath, std::u16string_view name,
                       const std::u16string& text) {
  settings::SaveRegText(platform_.registry, RegRoot::CurrentUser, keyPath, std::u16string(name),
                        text);
}

void Application::Form_Terminate() {
  UnloadAllForms();
}

void Application::UnloadAllForms() {
  for (platform::WindowHandle window : platform_.windows.loadedWindows()) {
    platform_.windows.unloadWindow(window);
  }
}

void Application::mnuOffBtn_Click() {
  const power::SwitchOff context{platform_.windows, platform_.input,    platform_.holdGuard,
                                 platform_.sleeper, platform_.registry, texts_.SettingsKeyPath};
  power::mnuOffBtn_Click(context, form1_.hWnd());
}

void Application::mnuHoldit_Click() {
  // One dialog for the whole run, created when it is first asked for.
  if (!holdit_) {
    holdit_.emplace(platform_.windows, platform_.registry, platform_.locale,
                    texts_.SettingsKeyPath);
  }
  holdit_->Show();
}

void Application::mnuHelp_Click() {
  info::mnuHelp_Click(platform_.shell, platform_.appInfo, form1_.hWnd());
}

void Application::mnuAbout_Click() {
  info::mnuAbout_Click(platform_.windows, platform_.shell, form1_.hWnd(), texts_.SiteUrl);
}

}  // namespace app
