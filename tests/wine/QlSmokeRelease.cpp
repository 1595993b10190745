// qlsmoke commands for the program's lifetime in the shell:
//   tray-delete        take Quillet's tray icon away, as a restarting shell does
//   taskbar-created    tell every window a new shell is there ("TaskbarCreated")
//   escape-main        an Escape key pressed and released in Quillet's hidden main window
//   hold FILE MS       keep FILE open (no deleting) until Quillet has ended, then MS longer,
//                      as a scanner or an ending process does; prints "held" once open
//   module DLL         the full path from which Quillet loaded DLL
//   dpi-awareness      Quillet's DPI awareness (0 unaware, 1 system, 2 per monitor)
//   idle-figures MS    Quillet's private memory and working set (KiB) and CPU use (%) over MS
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "QlDrive.h"

namespace {

constexpr UINT kTrayIconId = 171;  // the tray menu's resource id names the icon

DWORD QuilletProcess() {
  DWORD pid = 0;
  if (HWND main = qldrive::MainWindow()) GetWindowThreadProcessId(main, &pid);
  return pid;
}

int ModulePath(const char* dll) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, QuilletProcess());
  if (snapshot == INVALID_HANDLE_VALUE) return 1;
  MODULEENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  int status = 1;
  for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry)) {
    if (lstrcmpiA(entry.szModule, dll) == 0) {
      std::printf("%s\n", entry.szExePath);
      status = 0;
      break;
    }
  }
  CloseHandle(snapshot);
  return status;
}

std::int64_t FileTimeTicks(const FILETIME& t) {
  return (static_cast<std::int64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

int IdleFigures(int ms) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, QuilletProcess());
  if (!process) return 1;
  auto cpu = [process] {
    FILETIME created, ended, kernel, user;
    GetProcessTimes(process, &created, &ended, &kernel, &user);
    return FileTimeTicks(kernel) + FileTimeTicks(user);
  };
  const std::int64_t before = cpu();
  const double start = qldrive::Now();
  Sleep(static_cast<DWORD>(ms));
  const double elapsed = qldrive::Now() - start;
  const std::int64_t used = cpu() - before;
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
  CloseHandle(process);
  // Process times count in 100 ns.
  std::printf("private KiB %llu working-set KiB %llu cpu %% %.2f\n",
              static_cast<unsigned long long>(memory.PrivateUsage / 1024),
              static_cast<unsigned long long>(memory.WorkingSetSize / 1024),
              100.0 * (static_cast<double>(used) / 10000.0) / elapsed);
  return 0;
}

int Release(int argc, char** argv) {
  const std::string command = argv[1];
  if (command == "tray-delete" && argc == 2) {
    HWND tray = FindWindowA("QuilletTrayWnd", nullptr);
    if (!tray) return 1;
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = tray;
    data.uID = kTrayIconId;
    return Shell_NotifyIconA(NIM_DELETE, &data) ? 0 : 1;
  }
  if (command == "taskbar-created" && argc == 2) {
    const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message && PostMessageA(HWND_BROADCAST, message, 0, 0) ? 0 : 1;
  }
  if (command == "escape-main" && argc == 2) {
    HWND main = qldrive::MainWindow();
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(VK_ESCAPE, MAPVK_VK_TO_VSC)) << 16;
    return main && PostMessageA(main, WM_KEYDOWN, VK_ESCAPE, scan | 1) &&
                   PostMessageA(main, WM_KEYUP, VK_ESCAPE, scan | 0xC0000001)
               ? 0
               : 1;
  }
  if (command == "hold" && argc == 4) {
    HANDLE file = CreateFileA(argv[2], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    std::printf("held\n");
    std::fflush(stdout);
    qldrive::PollFor(60000, [] {
      HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "Quillet");
      if (mutex) CloseHandle(mutex);
      return mutex == nullptr;
    }, 20);
    Sleep(static_cast<DWORD>(std::atoi(argv[3])));
    CloseHandle(file);
    return 0;
  }
  if (command == "module" && argc == 3) return ModulePath(argv[2]);
  if (command == "dpi-awareness" && argc == 2) {
    HWND main = qldrive::MainWindow();
    if (!main) return 1;
    std::printf("%d\n", static_cast<int>(GetAwarenessFromDpiAwarenessContext(GetWindowDpiAwarenessContext(main))));
    return 0;
  }
  if (command == "idle-figures" && argc == 3) return IdleFigures(std::atoi(argv[2]));
  return -1;
}

const qldrive::CommandSet s_release(&Release);

}  // namespace
