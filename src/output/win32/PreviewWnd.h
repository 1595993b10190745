// The small note beside the prompt that shows the full text of the
// highlighted entry (a shorthand's expansion, a phrase's long form). It sizes
// itself to its text when painted, never takes the focus, and hides on Esc or
// a click.
//
// Owned by the main window, created in its initialisation; the window goes
// with its owner or this object, whichever goes first.
#pragma once

#include <windows.h>

#include <string>

#include "win/Handles.h"
#include "win/Window.h"

class PreviewWnd : public win::CWindow {
 public:
  static constexpr int kStyleNote = 1;
  static constexpr int kStyleHighlight = 2;

  // Makes the (visible) window owned by `parent`, centred on it.
  bool Create(HWND parent);
  // Stores the text and style; an empty text hides the window. The next
  // paint sizes the window to the text.
  void SetText(const std::string& text, int style);
  // Shows the window with its top-left corner at (x, y) unless it is
  // already visible (then it stays where it is); hides it when `show` is
  // false or the text is empty. Returns 1.
  int Show(bool show, int x, int y);

  const std::string& Text() const { return m_text; }

  // The DPI a window is drawn at (the screen's where Windows is too old to
  // tell per window); the prompt's rows use it as well.
  static unsigned WindowDpi(HWND window);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Paint(HDC dc);
  void SetShape(int count, const POINT* points);
  void UseDpi(unsigned dpi);

  std::string m_text;
  int m_style = kStyleNote;
  win::FontHandle m_font;
  unsigned m_dpi = 96;
  POINT m_shape[6] = {};
  int m_shapeCount = 0;
};
