#pragma once

namespace tray {

// The procedures that the notification icon and the command menu reach but
// that live elsewhere: the switch-off, the dialog, Help and About, shutdown.
class Commands {
 public:
  virtual ~Commands() = default;
  virtual void mnuOffBtn_Click() = 0;
  virtual void mnuHoldit_Click() = 0;
  virtual void mnuHelp_Click() = 0;
  virtual void mnuAbout_Click() = 0;
  virtual void UnloadAllForms() = 0;
};

}  // namespace tray
