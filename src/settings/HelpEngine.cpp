#include "settings/HelpEngine.h"

#include "res/Resource.h"
#include "win/Handles.h"
#include "win/Resources.h"

namespace settings {
namespace {

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

struct HelpLibrary {
  win::ModuleHandle module;
  HtmlHelpFunction entry = nullptr;
  bool failed = false;
  int attempts = 0;
};

HelpLibrary& Library() {
  static HelpLibrary library;
  return library;
}

// The registered HTML Help control first, then the one found by name.
bool Load(HelpLibrary& library) {
  ++library.attempts;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32", 0,
                    KEY_READ, &key) == ERROR_SUCCESS) {
    char path[260] = {};
    DWORD size = sizeof path - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(path), &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ))
      library.module.reset(LoadLibraryA(path));
    RegCloseKey(key);
  }
  if (!library.module) library.module.reset(LoadLibraryA("hhctrl.ocx"));
  if (!library.module) return false;
  library.entry = reinterpret_cast<HtmlHelpFunction>(
      reinterpret_cast<void*>(GetProcAddress(library.module.get(), MAKEINTRESOURCEA(14))));
  return library.entry != nullptr;
}

}  // namespace

HWND HtmlHelpA(HWND caller, const char* file, UINT command, DWORD_PTR data) {
  HelpLibrary& library = Library();
  if (library.failed) return nullptr;
  if (!library.entry && !Load(library)) {
    library.failed = true;
    return nullptr;
  }
  return library.entry(caller, file, command, data);
}

void ShowHelpKeyword(HWND caller, const char* keyword) {
  // The help control's HH_AKLINK request.
  struct LinkRequest {
    int cbStruct;
    BOOL fReserved;
    LPCSTR pszKeywords;
    LPCSTR pszUrl;
    LPCSTR pszMsgText;
    LPCSTR pszMsgTitle;
    LPCSTR pszWindow;
    BOOL fIndexOnFail;
  } request = {sizeof(LinkRequest), FALSE, keyword, nullptr, nullptr, nullptr, nullptr, TRUE};
  const std::string file = HelpFilePath();
  if (file.find('\\') == std::string::npos) return;
  constexpr UINT kAssociativeLinkLookup = 0x13;
  constexpr UINT kKeywordLookup = 0x0D;
  HWND byLink = HtmlHelpA(caller, file.c_str(), kAssociativeLinkLookup, reinterpret_cast<DWORD_PTR>(&request));
  HWND byKeyword = HtmlHelpA(caller, file.c_str(), kKeywordLookup, reinterpret_cast<DWORD_PTR>(&request));
  // A help viewer that looks up no keywords (Wine's) opens nothing for
  // either: the help file then opens at its first page rather than not at all.
  if (!byLink && !byKeyword) HtmlHelpA(caller, file.c_str(), kHelpDisplayTopic, 0);
}

std::string HelpFilePath() { return win::ExeFolder() + win::LoadStr(IDS_HELP_FILE); }

int HelpLoadAttempts() { return Library().attempts; }

}  // namespace settings
