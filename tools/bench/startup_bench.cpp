// Times start-up: from CreateProcess until the program's top-level window of a
// class exists (Tenebrolite adds its icon right after creating it), over a
// number of runs. Prints the median and the spread in milliseconds.
//   startup_bench.exe PROGRAM WINDOW_CLASS RUNS
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Search {
  DWORD pid;
  const wchar_t* className;
  bool found;
};

BOOL CALLBACK match(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  if (pid == search->pid && wcscmp(name, search->className) == 0) search->found = true;
  return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 2;
  const std::wstring program = argv[1];
  const wchar_t* className = argv[2];
  const int runs = _wtoi(argv[3]);
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring command = L"\"" + program + L"\"";
    const auto start = std::chrono::steady_clock::now();
    if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info)) {
      return 1;
    }
    Search search{info.dwProcessId, className, false};
    while (!search.found) {
      EnumWindows(&match, reinterpret_cast<LPARAM>(&search));
      if (!search.found) Sleep(1);
    }
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - start;
    times.push_back(elapsed.count());
    TerminateProcess(info.hProcess, 0);
    WaitForSingleObject(info.hProcess, 5000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
  std::sort(times.begin(), times.end());
  std::printf("%.1f %.1f %.1f\n", times[times.size() / 2], times.front(), times.back());
  return 0;
}
