// A static text control that acts as a hyperlink: coloured text, the hand
// cursor, and a click that opens `url` with the shell.
//
// Attach it to a static control of a dialog; the dialog hands it the
// control's WM_CTLCOLORSTATIC and STN_CLICKED (OnCtlColor, OnClicked). The
// cursor is handled by subclassing the control.
#pragma once

#include <windows.h>

#include <string>

#include "win/Handles.h"

class CHoamStatic {
 public:
  CHoamStatic();
  ~CHoamStatic();
  CHoamStatic(const CHoamStatic&) = delete;
  CHoamStatic& operator=(const CHoamStatic&) = delete;

  // Takes over the dialog's control `id`; false when there is none.
  bool Attach(HWND dialog, int id);
  HWND Handle() const { return m_hWnd; }

  // The colour request of the control: sets the colours on `dc` and returns
  // the background brush.
  HBRUSH OnCtlColor(HDC dc);
  // A click: opens the url (nothing for an empty one).
  void OnClicked();

  std::string url;
  COLORREF linkColour = RGB(0, 0, 255);
  COLORREF visitedColour = RGB(0, 128, 192);
  COLORREF backColour;
  bool visited = false;
  bool handCursor = true;

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
  HWND m_hWnd = nullptr;
  win::BrushHandle m_backBrush;
};
