#include "win/Resources.h"

#include <shellapi.h>

#include "res/Resource.h"

namespace win {

std::string LoadStr(UINT id) {
  // LoadStringA with a zero length hands out a pointer to the resource's
  // UTF-16 text; copying through a buffer keeps us to the ANSI code page.
  char buffer[1024];
  int n = LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
  return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

std::string ExeFolder() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, n < MAX_PATH ? n : 0);
  size_t slash = folder.rfind('\\');
  return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

int MessageBoxText(HWND owner, const std::string& text, UINT type, Caption caption) {
  std::string title = LoadStr(caption == Caption::Error ? IDS_CAPTION_ERROR : IDS_CAPTION);
  return MessageBoxA(owner, text.c_str(), title.c_str(), type);
}

int MessageBoxRes(HWND owner, UINT textId, UINT type, Caption caption) {
  return MessageBoxText(owner, LoadStr(textId), type, caption);
}

bool OpenWithShell(HWND owner, const std::string& target) {
  HINSTANCE result = ShellExecuteA(owner, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  if (reinterpret_cast<INT_PTR>(result) > 32) return true;
  MessageBeep(0);
  MessageBoxText(owner, LoadStr(IDS_UNABLE_TO_OPEN) + target + ".", MB_ICONINFORMATION);
  return false;
}

}  // namespace win
