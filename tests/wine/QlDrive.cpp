// Generic dialog commands of qlsmoke:
//   command ID                     post WM_COMMAND ID to Quillet's main window
//   wait-window TITLE MS           wait for a visible top-level window TITLE
//   wait-gone TITLE MS [close]     wait until no visible window is titled TITLE (asking
//                                  it to close every 250 ms with "close")
//   rect TITLE [ID]                print "X Y W H" of the window or of its control on the screen
//   get-text TITLE ID              print a control's text in brackets
//   set-text TITLE ID TEXT         set a control's text (EN_CHANGE follows)
//   click TITLE ID                 press a button (posted)
//   set-check TITLE ID 0|1         set a check box and tell the dialog
//   lv-rows TITLE ID               print a list view: "[x*] col|col|..." a row
//   lv-check TITLE ID ROW 0|1      check or clear a row's check box
//   lv-select TITLE ID ROW         select and focus exactly this row
#include "QlDrive.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

namespace qldrive {

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

HWND MainWindow() {
  for (HWND w = FindWindowExA(nullptr, nullptr, "#32770", "Quillet"); w;
       w = FindWindowExA(nullptr, w, "#32770", "Quillet")) {
    if (GetDlgItem(w, 1001)) return w;
  }
  return nullptr;
}

HWND NotepadEdit() {
  HWND notepad = FindWindowA("Notepad", nullptr);
  return notepad ? FindWindowExA(notepad, nullptr, "Edit", nullptr) : nullptr;
}

std::string WindowText(HWND window) {
  char buffer[4096] = {};
  if (window) SendMessageA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

HWND FindTopWindow(const std::string& title) {
  for (HWND w = FindWindowExA(nullptr, nullptr, nullptr, title.c_str()); w;
       w = FindWindowExA(nullptr, w, nullptr, title.c_str()))
    if (IsWindowVisible(w)) return w;
  return nullptr;
}

namespace {

HWND WaitTopWindow(const std::string& title, int ms) {
  HWND found = nullptr;
  PollFor(ms, [&] { return (found = FindTopWindow(title)) != nullptr; }, 20);
  return found;
}

}  // namespace

// A control of the dialog itself, else one of a visible child dialog (the
// page shown in a dialog of pages: hidden pages may use the same ids).
HWND DialogItem(const std::string& title, int id) {
  HWND dialog = WaitTopWindow(title, 3000);
  if (!dialog) return nullptr;
  if (HWND item = GetDlgItem(dialog, id)) return item;
  struct Search {
    int id;
    HWND found;
  } search{id, nullptr};
  EnumChildWindows(
      dialog,
      [](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        if (GetDlgCtrlID(w) != s->id || !IsWindowVisible(GetParent(w))) return TRUE;
        s->found = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

namespace {

constexpr SIZE_T kTextSize = 1024;

}  // namespace

RemoteBlock::RemoteBlock(HWND window, SIZE_T size) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  m_process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (m_process) m_at = static_cast<char*>(VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
}

RemoteBlock::~RemoteBlock() {
  if (m_at) VirtualFreeEx(m_process, m_at, 0, MEM_RELEASE);
  if (m_process) CloseHandle(m_process);
}

bool RemoteBlock::Write(const void* data, SIZE_T size, SIZE_T offset) const {
  return m_at && WriteProcessMemory(m_process, m_at + offset, data, size, nullptr);
}

bool RemoteBlock::Read(void* data, SIZE_T size, SIZE_T offset) const {
  return m_at && ReadProcessMemory(m_process, m_at + offset, data, size, nullptr);
}

std::vector<ListRow> ListViewRows(HWND list) {
  std::vector<ListRow> rows;
  if (!list) return rows;
  RemoteBlock remote(list, sizeof(LVITEMA) + kTextSize);
  if (!remote.At()) return rows;
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  int columns = header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
  if (columns < 1) columns = 1;
  const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    ListRow row;
    for (int c = 0; c < columns; ++c) {
      LVITEMA item = {};
      item.iSubItem = c;
      item.pszText = remote.At() + sizeof(LVITEMA);
      item.cchTextMax = kTextSize;
      remote.Write(&item, sizeof item);
      SendMessageA(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(remote.At()));
      char text[kTextSize] = {};
      remote.Read(text, kTextSize - 1, sizeof(LVITEMA));
      row.columns.emplace_back(text);
    }
    const UINT state =
        static_cast<UINT>(SendMessageA(list, LVM_GETITEMSTATE, i, LVIS_STATEIMAGEMASK | LVIS_SELECTED));
    row.checked = ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
    row.selected = (state & LVIS_SELECTED) != 0;
    rows.push_back(row);
  }
  return rows;
}

namespace {

// Posts a button click (BN_CLICKED) to the control's parent, so that a modal
// window it opens does not hold us up.
bool PostClick(HWND control) {
  if (!control) return false;
  return PostMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED),
                      reinterpret_cast<LPARAM>(control)) != 0;
}

bool ListViewSetState(HWND list, int row, UINT mask, UINT state) {
  RemoteBlock remote(list, sizeof(LVITEMA));
  LVITEMA item = {};
  item.stateMask = mask;
  item.state = state;
  if (!remote.Write(&item, sizeof item)) return false;
  return SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(remote.At())) != 0;
}

std::vector<CommandSet::Run>& Sets() {
  static std::vector<CommandSet::Run> sets;
  return sets;
}

int Generic(int argc, char** argv) {
  const std::string command = argv[1];
  auto arg = [&](int i) { return i < argc ? std::string(argv[i]) : std::string(); };
  auto number = [&](int i) { return i < argc ? std::atoi(argv[i]) : 0; };
  if (command == "command" && argc == 3) {
    HWND main = MainWindow();
    return main && PostMessageA(main, WM_COMMAND, MAKEWPARAM(number(2), 0), 0) ? 0 : 1;
  }
  if (command == "wait-window" && argc >= 3) {
    HWND w = WaitTopWindow(arg(2), argc > 3 ? number(3) : 5000);
    std::printf("window [%s] %s\n", arg(2).c_str(), w ? "open" : "not found");
    return w ? 0 : 1;
  }
  if (command == "wait-gone" && argc >= 3) {
    // Asked again while one is there: a window still starting up may miss the first.
    const bool close = arg(4) == "close";
    bool gone = PollFor(argc > 3 ? number(3) : 5000, [&] {
      HWND window = FindTopWindow(arg(2));
      if (window && close) PostMessageA(window, WM_CLOSE, 0, 0);
      return window == nullptr;
    }, close ? 250 : 20);
    std::printf("window [%s] %s\n", arg(2).c_str(), gone ? "gone" : "still open");
    return gone ? 0 : 1;
  }
  if (command == "rect" && (argc == 3 || argc == 4)) {
    HWND w = argc == 4 ? DialogItem(arg(2), number(3)) : WaitTopWindow(arg(2), 3000);
    RECT r = {};
    if (!w || !GetWindowRect(w, &r)) return 1;
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
  }
  if (command == "get-text" && argc == 4) {
    HWND item = DialogItem(arg(2), number(3));
    std::printf("[%s]\n", WindowText(item).c_str());
    return item ? 0 : 1;
  }
  if (command == "set-text" && argc == 5) {
    HWND item = DialogItem(arg(2), number(3));
    return item && SendMessageA(item, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4])) ? 0 : 1;
  }
  if (command == "click" && argc == 4) return PostClick(DialogItem(arg(2), number(3))) ? 0 : 1;
  if (command == "set-check" && argc == 5) {
    HWND item = DialogItem(arg(2), number(3));
    if (!item) return 1;
    SendMessageA(item, BM_SETCHECK, number(4) ? BST_CHECKED : BST_UNCHECKED, 0);
    return PostClick(item) ? 0 : 1;
  }
  if (command == "lv-rows" && argc == 4) {
    HWND list = DialogItem(arg(2), number(3));
    for (const ListRow& row : ListViewRows(list)) {
      std::string line = std::string("[") + (row.checked ? "x" : " ") + (row.selected ? "*" : " ") + "] ";
      for (size_t c = 0; c < row.columns.size(); ++c) line += (c ? "|" : "") + row.columns[c];
      std::printf("%s\n", line.c_str());
    }
    return list ? 0 : 1;
  }
  if (command == "lv-check" && argc == 6) {
    HWND list = DialogItem(arg(2), number(3));
    return list && ListViewSetState(list, number(4), LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(number(5) ? 2 : 1))
               ? 0
               : 1;
  }
  if (command == "lv-select" && argc == 5) {
    HWND list = DialogItem(arg(2), number(3));
    if (!list) return 1;
    ListViewSetState(list, -1, LVIS_SELECTED | LVIS_FOCUSED, 0);
    return ListViewSetState(list, number(4), LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED) ? 0 : 1;
  }
  return -1;
}

const CommandSet s_generic(&Generic);

}  // namespace

CommandSet::CommandSet(Run run) { Sets().push_back(run); }

int CommandSet::Dispatch(int argc, char** argv) {
  for (Run run : Sets()) {
    const int result = run(argc, argv);
    if (result != -1) return result;
  }
  return -1;
}

}  // namespace qldrive
