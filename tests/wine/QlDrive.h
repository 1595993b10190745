// The smoke test's hands on Quillet's dialogs: find a dialog by its title,
// read and set its controls, press its buttons and read or change its list
// views (through memory lent by Quillet's process), the way a user would.
//
// Dialog sections add command sets of their own with a static CommandSet in a
// file QlSmoke*.cpp of this folder; qlsmoke asks every set in turn, and a set
// answers -1 for a command it does not know.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace qldrive {

double Now();  // milliseconds

// Polls `ready` every `interval` ms until it holds or `ms` pass.
template <typename Ready>
bool PollFor(int ms, Ready ready, DWORD interval = 5) {
  const double end = Now() + ms;
  do {
    if (ready()) return true;
    Sleep(interval);
  } while (Now() < end);
  return ready();
}

// Quillet's main window (the prompt dialog), or null.
HWND MainWindow();
// Notepad's edit box, or null.
HWND NotepadEdit();
// The first visible top-level window whose title is `title`, or null.
HWND FindTopWindow(const std::string& title);
// A control of the dialog titled `title` (waiting up to 3 s for the dialog).
HWND DialogItem(const std::string& title, int id);

std::string WindowText(HWND window);

// The rows of a list view of another process: every row's column texts, its
// check and selection states.
struct ListRow {
  std::vector<std::string> columns;
  bool checked = false;
  bool selected = false;
};
std::vector<ListRow> ListViewRows(HWND list);

// Memory in the process of `window`, released with the object: what a
// message to another process's control points at.
class RemoteBlock {
 public:
  RemoteBlock(HWND window, SIZE_T size);
  ~RemoteBlock();
  RemoteBlock(const RemoteBlock&) = delete;
  RemoteBlock& operator=(const RemoteBlock&) = delete;
  char* At() const { return m_at; }
  bool Write(const void* data, SIZE_T size, SIZE_T offset = 0) const;
  bool Read(void* data, SIZE_T size, SIZE_T offset = 0) const;

 private:
  HANDLE m_process = nullptr;
  char* m_at = nullptr;
};

struct CommandSet {
  using Run = int (*)(int argc, char** argv);
  explicit CommandSet(Run run);
  // Runs the command through every set; -1 when none knows it.
  static int Dispatch(int argc, char** argv);
};

}  // namespace qldrive
