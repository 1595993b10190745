// The frame that marks the window under the edit-box finder: four thin
// top-most strips (left, top, right, bottom) around the target, so that the
// target stays visible in the middle. The strips never take the activation
// and let the mouse through to the windows below them.
//
// Threading: the user-interface thread only.
#pragma once

#include <windows.h>

#include <memory>

#include "output/CaretTracker.h"

namespace output {

class HighlightFrame {
 public:
  HighlightFrame();
  ~HighlightFrame();
  HighlightFrame(const HighlightFrame&) = delete;
  HighlightFrame& operator=(const HighlightFrame&) = delete;

  // The rectangle to surround, in screen pixels; the strips move at once
  // only while they are shown.
  void SetTarget(const ScreenRect& rect);
  void SetVisible(bool visible);
  void SetColour(COLORREF colour);
  void SetThickness(int thickness);
  void SetGap(int gap);
  // The strip windows (left, top, right, bottom), for tests.
  HWND Strip(int side) const;

  struct Settings {
    COLORREF colour = RGB(255, 255, 0);
    ScreenRect target;
    int gap = 2;
    int thickness = 2;
    bool visible = false;
  };

 private:
  class FrameStrip;
  void MoveStrips();
  Settings m_settings;
  std::unique_ptr<FrameStrip> m_strips[4];
};

}  // namespace output
