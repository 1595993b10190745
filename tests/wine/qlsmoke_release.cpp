// qlsmoke commands for the program's lifetime in the shell:
//   tray-delete        take Quillet's tray icon away, as a restarting shell does
//   taskbar-created    tell every window a new shell is there ("TaskbarCreated")
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "qldrive.h"

namespace {

constexpr UINT kTrayIconId = 171;  // the tray menu's resource id names the icon

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
  return -1;
}

const qldrive::CommandSet s_release(&Release);

}  // namespace
