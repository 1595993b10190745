// Small helpers the dialogs share: a control's text, a list-view column, the
// open and save dialogs for text files, and the program's icon on a dialog.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "win/Handles.h"

namespace win {

// The whole text of a dialog's control.
std::string ItemText(HWND dialog, int id);
void AddListColumn(HWND list, int index, const std::string& text, int width, int format = LVCFMT_LEFT);
// The open (or save) dialog for one file: filter pairs separated by NULs
// ending in two, the extension added to a bare name, the name shown first;
// the chosen path, empty when the user cancelled.
std::string AskFile(HWND owner, bool save, const char* filter, const char* defaultExtension,
                    const char* initialName);
// The same for a text file: "Text (*.txt)" and "All Files (*.*)".
std::string AskTextFile(HWND owner, bool save);
// The program's icon as the dialog's large and small icon; the handles live
// as long as the dialog needs them.
void SetDialogIcons(HWND dialog, IconHandle& large, IconHandle& small);

// Times a piece of a dialog's work and keeps the longest time so far, in
// microseconds, as the window's property `name`, where a test can read it.
class ScopedTiming {
 public:
  ScopedTiming(HWND window, const char* name);
  ~ScopedTiming();
  ScopedTiming(const ScopedTiming&) = delete;
  ScopedTiming& operator=(const ScopedTiming&) = delete;
  // Takes the property off again; for the window's WM_DESTROY.
  static void Forget(HWND window, const char* name) { RemovePropA(window, name); }

 private:
  HWND m_window;
  const char* m_name;
  LARGE_INTEGER m_start;
};

}  // namespace win
