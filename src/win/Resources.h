// The program's texts and message boxes: every text the user sees comes from
// the string table of the module's resources.
#pragma once

#include <windows.h>

#include <string>

namespace win {

// The string resource `id` of this program; empty when there is none.
std::string LoadStr(UINT id);

// The folder of the running executable, with its trailing backslash.
std::string ExeFolder();

enum class Caption { Normal, Error };

// A message box with text `textId` and the caption "Quillet" or
// "Quillet - ERROR"; returns the button pressed.
int MessageBoxRes(HWND owner, UINT textId, UINT type, Caption caption = Caption::Normal);
// The same with a text made by the caller.
int MessageBoxText(HWND owner, const std::string& text, UINT type, Caption caption = Caption::Normal);

// Opens a page, a mail address or a file with the shell's "open" verb. On
// failure beeps and tells the user "Unable to open <target>." (information
// icon). True when the shell took it.
bool OpenWithShell(HWND owner, const std::string& target);

}  // namespace win
