// Takes the README's pictures: runs Tenebrolite on the Wine virtual desktop
// it was started on, opens its menu, its dialog and its About message, and
// has ImageMagick photograph each.
//   screenshot_driver.exe OUTPUT_FOLDER   (a Linux path)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "harness.h"
#include "power/holdit.h"

namespace {

using namespace e2e;

std::wstring output;

// Photographs a rectangle of the screen, with a margin, into OUTPUT/name.png.
void shoot(const wchar_t* name, RECT area, int margin) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  area.left = std::max(0L, area.left - margin);
  area.top = std::max(0L, area.top - margin);
  area.right = std::min(static_cast<LONG>(width), area.right + margin);
  area.bottom = std::min(static_cast<LONG>(height), area.bottom + margin);
  Sleep(500);  // let it paint
  const std::wstring geometry = std::to_wstring(area.right - area.left) + L"x" +
                                std::to_wstring(area.bottom - area.top) + L"+" +
                                std::to_wstring(area.left) + L"+" + std::to_wstring(area.top);
  runUnix(L"import -window root -crop " + geometry + L" +repage " + output + L"/" + name + L".png");
  std::printf("%ls.png %ls\n", name, geometry.c_str());
}

RECT unite(RECT a, RECT b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  output = argv[1];
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  StoredHold absent;  // the dialog shows "3" whatever is stored; nothing left behind

  Program program(buildFolder() + L"\\Tenebrolite.exe");
  program.mainWindow();
  Sleep(1500);  // the taskbar shows the icon

  // The menu, opened by a right click on the icon in the taskbar's corner.
  // Wine keeps a menu inside the screen by pushing it up over the taskbar;
  // opened a little higher it leaves the icon in sight.
  SetCursorPos(width - 20, height - 150);
  program.notifyIcon(WM_RBUTTONUP);
  HWND popup = visibleWindowOf(program.pid(), L"#32768");
  if (popup == nullptr) return 1;
  PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
  RECT menu{};
  GetWindowRect(popup, &menu);
  shoot(L"menu", unite(menu, RECT{width - 160, height - 40, width, height}), 24);
  PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
  waitFor([&] { return !IsWindowVisible(popup); });

  // The hold-time dialog, with a value typed.
  program.choose(tray::MenuCommand::Holdit);
  HWND dialog = visibleWindowOf(program.pid(), L"TenebroliteDialog");
  if (dialog == nullptr) return 1;
  HWND text = GetDlgItem(dialog, power::Holdit::text1);
  SendMessageW(text, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"2.5"));
  SendMessageW(text, EM_SETSEL, 3, 3);
  RECT dialogRect{};
  GetWindowRect(dialog, &dialogRect);
  shoot(L"dialog", dialogRect, 16);
  PostMessageW(GetDlgItem(dialog, power::Holdit::Command2), BM_CLICK, 0, 0);
  waitFor([&] { return !IsWindow(dialog); });

  // The About message.
  program.choose(tray::MenuCommand::About);
  HWND about = visibleWindowOf(program.pid(), L"#32770");
  if (about == nullptr) return 1;
  RECT aboutRect{};
  GetWindowRect(about, &aboutRect);
  shoot(L"about", aboutRect, 16);
  PostMessageW(GetDlgItem(about, IDNO), BM_CLICK, 0, 0);
  waitFor([&] { return !IsWindow(about); });

  return program.exit() ? 0 : 1;
}
