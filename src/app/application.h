#pragma once

#include <optional>

#include "app/texts.h"
#include "platform/autostart.h"
#include "platform/hold_guard.h"
#include "platform/input.h"
#include "platform/locale.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/sleep.h"
#include "platform/window.h"
#include "power/holdit.h"
#include "tray/commands.h"
#include "tray/form1.h"

namespace app {

// The system as the program reaches it, composed once at start.
struct Platform {
  platform::Registry& registry;
  platform::WindowSystem& windows;
  platform::Shell& shell;
  platform::Input& input;
  platform::HoldGuard& holdGuard;
  platform::Sleeper& sleeper;
  platform::AppInfo& appInfo;
  platform::Locale& locale;
  platform::Autostart& autostart;
};

// The running program: its start-up, its windows and the commands they reach.
class Application final : public tray::Commands {
 public:
  explicit Application(Platform& platform);

  // Sets the three process-wide texts, then runs RunStartup.
  void Main();
  // A run for the switch-off alone: the power-down and the hold, through a
  // hidden window of its own, with no icon and nothing written. 0 when the
  // display was switched off, 1 when the platform knows it was not.
  int SwitchOffCommand();
  // Writes the fixed values and registers the autostart, then loads Form1.
  void RunStartup();
  // The main window's termination handler, run after the event loop ends.
  void Form_Terminate();

  // tray::Commands
  void mnuOffBtn_Click() override;
  void mnuHoldit_Click() override;
  void mnuHelp_Click() override;
  void mnuAbout_Click() override;
  void UnloadAllForms() override;

 private:
  void setTexts();
  void save(const std::u16string& keyPath, std::u16string_view name, const std::u16string& text);

  Platform& platform_;
  ProcessTexts texts_;
  tray::Form1 form1_;
  std::optional<power::Holdit> holdit_;
};

}  // namespace app
