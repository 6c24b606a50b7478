// The program's entry point: composes the Win32 platform and runs the program.
#include <windows.h>
// after windows.h, whose types it uses
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/application.h"
#include "app/command_line.h"
#include "platform/win32/app_info_win32.h"
#include "platform/win32/hold_guard_win32.h"
#include "platform/win32/input_win32.h"
#include "platform/win32/locale_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/shell_win32.h"
#include "platform/win32/sleeper_win32.h"
#include "platform/win32/wide.h"
#include "platform/win32/window_system_win32.h"
#include "power/hold_guard.h"
#include "settings/run_value.h"

namespace {

// The arguments after the program's name, split as the C runtime splits them.
std::vector<std::u16string> programArguments() {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::u16string> own;
  for (int i = 1; args != nullptr && i < count; ++i) {
    own.push_back(platform::win32::fromWide(args[i], wcslen(args[i])));
  }
  LocalFree(args);
  return own;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // DLLs load from System32 only, never from the current or the exe's folder.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);

  const app::Command command = app::parseCommandLine(programArguments(), app::OptionStyle::Windows);
  if (command == app::Command::Help || command == app::Command::Unknown) {
    // A windowed program has no console to print to.
    const std::u16string usage = app::usageText(app::OptionStyle::Windows);
    MessageBoxW(nullptr, platform::win32::wide(usage), L"Tenebrolite",
                MB_OK | (command == app::Command::Help ? MB_ICONINFORMATION : MB_ICONWARNING));
    return command == app::Command::Help ? 0 : 2;
  }

  platform::win32::Win32Registry registry;
  platform::win32::Win32WindowSystem windows(instance);
  platform::win32::Win32Shell shell;
  power::HoldGuardRule guardRule;
  platform::win32::Win32HoldGuard holdGuard(guardRule);
  platform::win32::Win32Input input(holdGuard);
  platform::win32::Win32Sleeper sleeper;
  platform::win32::Win32AppInfo appInfo;
  platform::win32::Win32Locale locale;
  settings::RunValueAutostart autostart(registry);
  app::Platform platform{registry, windows, shell,  input,    holdGuard,
                         sleeper,  appInfo, locale, autostart};

  app::Application application(platform);
  if (command == app::Command::SwitchOff) return application.SwitchOffCommand();
  application.Main();
  windows.runEventLoop();
  application.Form_Terminate();
  return 0;
}
