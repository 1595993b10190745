// The prompt's candidate list: an owner-drawn report list view (list control
// 1001 of the main dialog) whose highlighted row stands out in a fixed blue
// even though the prompt never has the keyboard focus.
//
// It wraps the dialog's control; the dialog forwards WM_DRAWITEM for it to
// DrawItem. Only the first column is drawn.
#pragma once

#include <windows.h>
#include <commctrl.h>

class PromptListCtrl {
 public:
  // The highlight while the list has no focus (the usual case).
  static constexpr COLORREF kHighlight = RGB(49, 106, 197);

  void Attach(HWND list) { m_hWnd = list; }
  HWND Handle() const { return m_hWnd; }

  void DrawItem(const DRAWITEMSTRUCT& item);

  // The row's bounds, 1 pixel smaller on every side unless `inset`.
  RECT RowBounds(int row, bool inset) const;
  // The row's bounds narrowed to one column.
  RECT CellRect(int row, int column, bool inset) const;

 private:
  HWND m_hWnd = nullptr;
};
