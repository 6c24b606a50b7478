// The program's entry point: composes the Win32 platform and runs the program.
#include <windows.h>

#include "app/application.h"
#include "platform/win32/app_info_win32.h"
#include "platform/win32/hold_guard_win32.h"
#include "platform/win32/input_win32.h"
#include "platform/win32/locale_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/shell_win32.h"
#include "platform/win32/sleeper_win32.h"
#include "platform/win32/window_system_win32.h"
#include "power/hold_guard.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // DLLs load from System32 only, never from the current or the exe's folder.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);

  platform::win32::Win32Registry registry;
  platform::win32::Win32WindowSystem windows(instance);
  platform::win32::Win32Shell shell;
  power::HoldGuardRule guardRule;
  platform::win32::Win32HoldGuard holdGuard(guardRule);
  platform::win32::Win32Input input(holdGuard);
  platform::win32::Win32Sleeper sleeper;
  platform::win32::Win32AppInfo appInfo;
  platform::win32::Win32Locale locale;
  app::Platform platform{registry, windows, shell, input, holdGuard, sleeper, appInfo, locale};

  app::Application application(platform);
  application.Main();
  windows.runEventLoop();
  application.Form_Terminate();
  return 0;
}
