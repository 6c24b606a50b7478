// Times the start-up of Win32 programs, side by side: from CreateProcess until
// a program is ready, RUNS times each, taking turns so that a slower or faster
// spell of the machine falls on all of them alike. Prints one line per
// program: its times in milliseconds, in the order of the rounds.
//   startup_bench.exe RUNS PROGRAM READY [PROGRAM READY]...
// READY is "icon": its notification icon has been added (the NIM_ADD is
// done), or the class name of a top-level window that it creates.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Wine shows each notification icon, on an X display without a tray of its
// own, as a window of this class inside its stand-alone tray; the icon's
// window exists once Shell_NotifyIcon(NIM_ADD) has returned.
int trayIcons() {
  HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
  int count = 0;
  for (HWND icon = nullptr;
       tray != nullptr && (icon = FindWindowExW(tray, icon, L"__winex11_tray_icon", nullptr));) {
    ++count;
  }
  return count;
}

bool hasWindow(DWORD pid, const std::wstring& className) {
  for (HWND hwnd = nullptr; (hwnd = FindWindowExW(nullptr, hwnd, className.c_str(), nullptr));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == pid) return true;
  }
  return false;
}

// Polls every millisecond until the condition holds; false after 10 s.
template <typename Condition>
bool waitFor(Condition condition) {
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (!condition()) {
    if (Clock::now() > deadline) return false;
    Sleep(1);
  }
  return true;
}

struct Program {
  std::wstring path;
  std::wstring ready;
  std::vector<double> times;
};

// One start: the milliseconds until the program was ready, or -1.
double timeStart(const Program& program) {
  const bool icon = program.ready == L"icon";
  const int iconsBefore = icon ? trayIcons() : 0;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring command = L"\"" + program.path + L"\"";
  const auto start = Clock::now();
  if (!CreateProcessW(program.path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &info)) {
    return -1;
  }
  const bool ready = waitFor([&] {
    return icon ? trayIcons() > iconsBefore : hasWindow(info.dwProcessId, program.ready);
  });
  const std::chrono::duration<double, std::milli> elapsed = Clock::now() - start;
  TerminateProcess(info.hProcess, 0);
  WaitForSingleObject(info.hProcess, 5000);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  // The icon of a program that has ended goes away with its window.
  if (icon) waitFor([&] { return trayIcons() <= iconsBefore; });
  return ready ? elapsed.count() : -1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4 || argc % 2 != 0) {
    std::fprintf(stderr, "usage: startup_bench RUNS PROGRAM READY [PROGRAM READY]...\n");
    return 2;
  }
  const int runs = _wtoi(argv[1]);
  std::vector<Program> programs;
  for (int i = 2; i + 1 < argc; i += 2) programs.push_back({argv[i], argv[i + 1], {}});
  // One start of each first, not counted: it reads the files from disk. Each
  // round begins with the next program, so that none always follows the same.
  for (int run = -1; run < runs; ++run) {
    for (std::size_t turn = 0; turn < programs.size(); ++turn) {
      Program& program = programs[(turn + static_cast<std::size_t>(run + 1)) % programs.size()];
      const double ms = timeStart(program);
      if (ms < 0) {
        std::fprintf(stderr, "startup_bench: %ls did not get ready\n", program.path.c_str());
        return 1;
      }
      if (run >= 0) program.times.push_back(ms);
    }
  }
  for (const Program& program : programs) {
    for (double ms : program.times) std::printf("%.1f ", ms);
    std::printf("\n");
  }
  return 0;
}
