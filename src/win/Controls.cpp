#include "win/Controls.h"

#include <commdlg.h>

#include <cstring>

#include "res/Resource.h"

namespace win {

std::string ItemText(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  const int length = item ? GetWindowTextLengthA(item) : 0;
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  GetDlgItemTextA(dialog, id, text.data(), length + 1);
  text.resize(std::strlen(text.c_str()));
  return text;
}

void AddListColumn(HWND list, int index, const std::string& text, int width, int format) {
  LVCOLUMNA column = {};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  column.fmt = format;
  column.cx = width;
  column.pszText = const_cast<char*>(text.c_str());
  ListView_InsertColumn(list, index, &column);
}

std::string AskFile(HWND owner, bool save, const char* filter, const char* defaultExtension,
                    const char* initialName) {
  char path[MAX_PATH] = {};
  lstrcpynA(path, initialName ? initialName : "", MAX_PATH);
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter;
  dialog.lpstrFile = path;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrDefExt = defaultExtension;
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  const BOOL chosen = save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
  return chosen ? std::string(path) : std::string();
}

std::string AskTextFile(HWND owner, bool save) {
  return AskFile(owner, save, "Text (*.txt)\0*.txt\0All Files (*.*)\0*.*\0", "txt", "*.txt");
}

void SetDialogIcons(HWND dialog, IconHandle& large, IconHandle& small) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  large.reset(static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
  small.reset(static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 16, 16, 0)));
  SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large.get()));
  SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
}

ScopedTiming::ScopedTiming(HWND window, const char* name) : m_window(window), m_name(name) {
  QueryPerformanceCounter(&m_start);
}

ScopedTiming::~ScopedTiming() {
  LARGE_INTEGER end, frequency;
  QueryPerformanceCounter(&end);
  QueryPerformanceFrequency(&frequency);
  const auto us = static_cast<ULONG_PTR>((end.QuadPart - m_start.QuadPart) * 1000000 / frequency.QuadPart);
  const auto worst = reinterpret_cast<ULONG_PTR>(GetPropA(m_window, m_name));
  if (us >= worst) SetPropA(m_window, m_name, reinterpret_cast<HANDLE>(us + 1));
}

}  // namespace win
