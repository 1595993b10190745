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
// The open (or save) dialog for a text file: extension "txt", filter "Text
// (*.txt)" and "All Files (*.*)"; empty when the user cancelled.
std::string AskTextFile(HWND owner, bool save);
// The program's icon as the dialog's large and small icon; the handles live
// as long as the dialog needs them.
void SetDialogIcons(HWND dialog, IconHandle& large, IconHandle& small);

}  // namespace win
