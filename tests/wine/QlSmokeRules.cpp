// qlsmoke commands for the rule dialogs:
//   notepad-edit           print notepad's edit box: "X Y W H ID"
//   strips                 print the shown highlight-frame strips, one
//                          "L T R B" line each (none while the frame is hidden)
//   timing TITLE NAME      print the longest time in ms a dialog recorded
//                          under NAME
//   window-at X Y          print the class of the window a click at X,Y reaches
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "QlDrive.h"

namespace {

int Rules(int argc, char** argv) {
  const std::string command = argv[1];
  if (command == "notepad-edit") {
    HWND edit = qldrive::NotepadEdit();
    RECT r;
    if (!edit || !GetWindowRect(edit, &r)) return 1;
    std::printf("%ld %ld %ld %ld %d\n", r.left, r.top, r.right - r.left, r.bottom - r.top, GetDlgCtrlID(edit));
    return 0;
  }
  if (command == "strips") {
    for (HWND w = FindWindowExA(nullptr, nullptr, "RectWndClass", nullptr); w;
         w = FindWindowExA(nullptr, w, "RectWndClass", nullptr)) {
      RECT r;
      if (IsWindowVisible(w) && GetWindowRect(w, &r)) std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    }
    return 0;
  }
  if (command == "timing" && argc == 4) {
    HWND dialog = FindWindowA(nullptr, argv[2]);
    const auto us = dialog ? reinterpret_cast<ULONG_PTR>(GetPropA(dialog, argv[3])) : 0;
    if (us == 0) return 1;
    std::printf("%.3f\n", static_cast<double>(us - 1) / 1000.0);
    return 0;
  }
  if (command == "window-at" && argc == 4) {
    HWND window = WindowFromPoint({std::atoi(argv[2]), std::atoi(argv[3])});
    char name[64] = {};
    if (!window || !GetClassNameA(window, name, sizeof name)) return 1;
    std::printf("%s\n", name);
    return 0;
  }
  return -1;
}

const qldrive::CommandSet s_rules(&Rules);

}  // namespace
