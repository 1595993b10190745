// The prompt's candidate list: an owner-drawn report list view (list control
// 1001 of the main dialog) whose highlighted row stands out in a fixed blue
// even though the prompt never has the keyboard focus.
//
// It wraps the dialog's control; the dialog forwards WM_DRAWITEM for it to
// DrawItem. Only the first column is drawn.
//
// The prompt never takes the keyboard from the application the user types
// in: the list handles mouse clicks itself (a list view takes the focus on a
// click, and with it activates the prompt) and hands them to its owner.
#pragma once

#include <windows.h>
#include <commctrl.h>

class PromptListCtrl {
 public:
  // The highlight while the list has no focus (the usual case).
  static constexpr COLORREF kHighlight = RGB(49, 106, 197);

  // Who hears of clicks on the rows.
  class ClickSink {
   public:
    virtual ~ClickSink() = default;
    // A left click (or double click) on a row; `row` is -1 off the rows.
    virtual void OnPromptClick(int row, bool doubleClick) = 0;
  };

  // Wraps the list and takes over its mouse clicks.
  void Attach(HWND list, ClickSink& sink);
  HWND Handle() const { return m_hWnd; }

  void DrawItem(const DRAWITEMSTRUCT& item);

  // The row's bounds, 1 pixel smaller on every side unless `inset`.
  RECT RowBounds(int row, bool inset) const;
  // The row's bounds narrowed to one column.
  RECT CellRect(int row, int column, bool inset) const;

 private:
  static LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                   DWORD_PTR self);

  HWND m_hWnd = nullptr;
  ClickSink* m_sink = nullptr;
};
