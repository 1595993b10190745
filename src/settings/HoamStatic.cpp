#include "settings/HoamStatic.h"

#include <commctrl.h>

#include "res/Resource.h"
#include "win/Resources.h"

CHoamStatic::CHoamStatic() : backColour(GetSysColor(COLOR_BTNFACE)) {
  m_backBrush.reset(CreateSolidBrush(backColour));
}

CHoamStatic::~CHoamStatic() {
  if (m_hWnd) RemoveWindowSubclass(m_hWnd, &CHoamStatic::SubclassProc, 1);
}

bool CHoamStatic::Attach(HWND dialog, int id) {
  m_hWnd = GetDlgItem(dialog, id);
  if (!m_hWnd) return false;
  return SetWindowSubclass(m_hWnd, &CHoamStatic::SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this)) != 0;
}

HBRUSH CHoamStatic::OnCtlColor(HDC dc) {
  if (url.empty()) {
    SetTextColor(dc, linkColour);
  } else {
    // Clicks reach a static control only with the notify style.
    LONG_PTR style = GetWindowLongPtrA(m_hWnd, GWL_STYLE);
    if (!(style & SS_NOTIFY)) SetWindowLongPtrA(m_hWnd, GWL_STYLE, style | SS_NOTIFY);
    SetTextColor(dc, visited ? visitedColour : linkColour);
  }
  SetBkColor(dc, backColour);
  return m_backBrush.get();
}

void CHoamStatic::OnClicked() {
  if (url.empty()) return;
  if (!win::OpenWithShell(GetParent(m_hWnd), url)) return;
  visited = true;
  InvalidateRect(m_hWnd, nullptr, TRUE);
}

LRESULT CALLBACK CHoamStatic::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR selfPointer) {
  auto* self = reinterpret_cast<CHoamStatic*>(selfPointer);
  if (message == WM_SETCURSOR) {
    HCURSOR cursor = self->handCursor
                         ? LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_HAND_CURSOR))
                         : LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    if (cursor) {
      SetCursor(cursor);
      return TRUE;
    }
  }
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, &CHoamStatic::SubclassProc, 1);
    self->m_hWnd = nullptr;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}
