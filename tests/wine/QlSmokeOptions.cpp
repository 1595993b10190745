// qlsmoke commands for the Options dialog:
//   tree-select TITLE ID INDEX      select the INDEX-th root item of a tree view
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "QlDrive.h"

namespace {

int Options(int argc, char** argv) {
  const std::string command = argv[1];
  if (command == "tree-select" && argc == 5) {
    HWND tree = qldrive::DialogItem(argv[2], std::atoi(argv[3]));
    if (!tree) return 1;
    auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    for (int i = std::atoi(argv[4]); item && i > 0; --i)
      item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    return item && SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) ? 0 : 1;
  }
  return -1;
}

const qldrive::CommandSet s_options(&Options);

}  // namespace
