// The system's HTML Help control, loaded on the first help request. When it
// cannot be loaded, every later request returns 0 at once, silently.
//
// Threading: the user-interface thread only.
#pragma once

#include <windows.h>

#include <string>

namespace settings {

// HH_DISPLAY_TOPIC and the other commands of the HTML Help control.
inline constexpr UINT kHelpDisplayTopic = 0;

// The HTML Help entry point: the window it opened, or 0.
HWND HtmlHelpA(HWND caller, const char* file, UINT command, DWORD_PTR data);

// Opens the help file at the topic of `keyword`: an associative-link lookup
// first, then a keyword lookup, each showing the index when nothing matches;
// at its first page when the viewer answers neither. Silent when the help
// file or the help control is missing.
void ShowHelpKeyword(HWND caller, const char* keyword);

// The help file beside the executable ("QLHelp.chm").
std::string HelpFilePath();

// How many times the help library was looked for (for tests).
int HelpLoadAttempts();

}  // namespace settings
