#include "output/win32/HighlightFrame.h"

#include "output/FrameLayout.h"

namespace output {

namespace {

constexpr char kClassName[] = "RectWndClass";

}  // namespace

class HighlightFrame::FrameStrip {
 public:
  FrameStrip(int side, const Settings& settings) : m_side(side), m_settings(settings) {
    static const bool registered = [] {
      WNDCLASSEXA wc = {};
      wc.cbSize = sizeof wc;
      wc.style = CS_VREDRAW | CS_HREDRAW | CS_SAVEBITS;
      wc.lpfnWndProc = &FrameStrip::StaticProc;
      wc.cbWndExtra = sizeof(void*);
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = kClassName;
      return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    if (!registered) return;
    // Layered and transparent as well: a strip alone would only let clicks
    // through to windows of our own thread, and the target belongs to another
    // program.
    m_hWnd = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TRANSPARENT,
                             kClassName, "", WS_POPUP, 1, 1, 1, 1, nullptr, nullptr, GetModuleHandleA(nullptr), this);
    if (m_hWnd) SetLayeredWindowAttributes(m_hWnd, 0, 255, LWA_ALPHA);
  }
  ~FrameStrip() {
    if (m_hWnd) DestroyWindow(m_hWnd);
  }
  HWND Handle() const { return m_hWnd; }

  void Show(bool show) {
    if (m_hWnd) ShowWindow(m_hWnd, show ? SW_SHOWNA : SW_HIDE);
  }
  void Update(bool repaint, bool move) {
    if (!m_hWnd) return;
    if (repaint) InvalidateRect(m_hWnd, nullptr, TRUE);
    if (move) {
      const ScreenRect r = FrameStrips(m_settings.target, m_settings.gap, m_settings.thickness)[m_side];
      SetWindowPos(m_hWnd, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE);
    }
  }

 private:
  static LRESULT CALLBACK StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<FrameStrip*>(GetWindowLongPtrA(window, 0));
    if (!self && message == WM_NCCREATE) {
      self = static_cast<FrameStrip*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
      self->m_hWnd = window;
      SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(self));
    }
    return self ? self->WindowProc(message, wParam, lParam) : DefWindowProcA(window, message, wParam, lParam);
  }

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_ERASEBKGND: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        RECT client;
        GetClientRect(m_hWnd, &client);
        HBRUSH brush = CreateSolidBrush(m_settings.colour);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
        // Black lines inside and outside, so that the four strips read as
        // one outlined frame.
        HGDIOBJ old = SelectObject(dc, GetStockObject(BLACK_PEN));
        const int w = client.right, h = client.bottom, inner = m_settings.thickness + 1;
        auto segment = [dc](int x0, int y0, int x1, int y1) {
          MoveToEx(dc, x0, y0, nullptr);
          LineTo(dc, x1, y1);
        };
        segment(0, 0, 0, h);
        segment(w - 1, 0, w - 1, h);
        if (m_side == 1) {
          segment(0, 0, w, 0);
          segment(inner, h - 1, w - inner, h - 1);
        } else if (m_side == 3) {
          segment(0, h - 1, w, h - 1);
          segment(inner, 0, w - inner, 0);
        }
        SelectObject(dc, old);
        return 1;
      }
      case WM_NCHITTEST:
        return HTTRANSPARENT;
      case WM_NCDESTROY:
        SetWindowLongPtrA(m_hWnd, 0, 0);
        m_hWnd = nullptr;
        return 0;
      default:
        return DefWindowProcA(m_hWnd, message, wParam, lParam);
    }
  }

  HWND m_hWnd = nullptr;
  int m_side;
  const Settings& m_settings;
};

HighlightFrame::HighlightFrame() {
  for (int side = 0; side < 4; ++side) m_strips[side] = std::make_unique<FrameStrip>(side, m_settings);
}

HighlightFrame::~HighlightFrame() {
  for (int side = 3; side >= 0; --side) m_strips[side].reset();
}

void HighlightFrame::MoveStrips() {
  if (!m_settings.visible) return;
  for (auto& strip : m_strips) strip->Update(false, true);
}

void HighlightFrame::SetTarget(const ScreenRect& rect) {
  m_settings.target = rect;
  MoveStrips();
}

void HighlightFrame::SetVisible(bool visible) {
  if (visible == m_settings.visible) return;
  m_settings.visible = visible;
  if (visible) MoveStrips();
  for (auto& strip : m_strips) strip->Show(visible);
}

void HighlightFrame::SetColour(COLORREF colour) {
  m_settings.colour = colour;
  if (!m_settings.visible) return;
  for (auto& strip : m_strips) strip->Update(true, false);
}

void HighlightFrame::SetThickness(int thickness) {
  m_settings.thickness = thickness;
  MoveStrips();
}

void HighlightFrame::SetGap(int gap) {
  m_settings.gap = gap;
  MoveStrips();
}

HWND HighlightFrame::Strip(int side) const { return side >= 0 && side < 4 ? m_strips[side]->Handle() : nullptr; }

}  // namespace output
