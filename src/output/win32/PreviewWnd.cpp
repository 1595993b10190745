#include "output/win32/PreviewWnd.h"

#include <algorithm>

namespace {

constexpr const char* kClassName = "QuilletPreviewWnd";

struct Colours {
  COLORREF fill, border, text;
};

Colours ColoursFor(int style) {
  if (style == PreviewWnd::kStyleHighlight) return {RGB(100, 100, 228), RGB(200, 200, 200), RGB(255, 255, 255)};
  return {RGB(255, 255, 191), RGB(130, 130, 130), RGB(64, 64, 64)};
}

// The note's fill darkened by 30 in each channel, for the lower bevel.
COLORREF Shadow(COLORREF fill) {
  auto darker = [](int v) { return static_cast<BYTE>(std::max(0, v - 30)); };
  return RGB(darker(GetRValue(fill)), darker(GetGValue(fill)), darker(GetBValue(fill)));
}

}  // namespace

bool PreviewWnd::Create(HWND parent) {
  m_text.clear();
  if (!RegisterOnce(kClassName)) return false;
  // 0xD0000008: pop-up, visible, and the low style bit the window has always
  // carried.
  if (!CreateEx(0, kClassName, "", 0xD0000008, 10, 10, 250, 200, parent)) return false;
  const POINT outline[6] = {{0, 0}, {250, 0}, {250, 180}, {230, 200}, {0, 200}, {0, 0}};
  SetShape(6, outline);
  UseDpi(WindowDpi(m_hWnd));
  // Centre on the owner.
  RECT owner, own;
  if (parent && GetWindowRect(parent, &owner) && GetWindowRect(m_hWnd, &own)) {
    int w = own.right - own.left, h = own.bottom - own.top;
    SetWindowPos(m_hWnd, nullptr, owner.left + (owner.right - owner.left - w) / 2,
                 owner.top + (owner.bottom - owner.top - h) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return true;
}

void PreviewWnd::SetShape(int count, const POINT* points) {
  m_shapeCount = std::min(count, 6);
  std::copy(points, points + m_shapeCount, m_shape);
}

void PreviewWnd::SetText(const std::string& text, int style) {
  m_text = text;
  m_style = style;
  if (!m_hWnd) return;
  if (m_text.empty()) ShowWindow(m_hWnd, SW_HIDE);
  InvalidateRect(m_hWnd, nullptr, TRUE);
}

// The font is 14 pixels high at 96 dots per inch and grows with the DPI of
// the monitor the note is on.
void PreviewWnd::UseDpi(unsigned dpi) {
  m_dpi = dpi ? dpi : 96;
  m_font.reset(CreateFontA(MulDiv(14, static_cast<int>(m_dpi), 96), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                           FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY,
                           VARIABLE_PITCH | FF_SWISS, "Arial"));
}

// The window's DPI where the system tells it per window (Windows 10), else
// the screen's.
unsigned PreviewWnd::WindowDpi(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow && window) {
    if (UINT dpi = getDpiForWindow(window)) return dpi;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<unsigned>(dpi) : 96;
}

int PreviewWnd::Show(bool show, int x, int y) {
  if (!m_hWnd) return 1;
  if (!show || m_text.empty()) {
    ShowWindow(m_hWnd, SW_HIDE);
    return 1;
  }
  if (IsWindowVisible(m_hWnd)) return 1;
  SetWindowPos(m_hWnd, nullptr, x, y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  return 1;
}

LRESULT PreviewWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(m_hWnd, &ps);
      Paint(dc);
      EndPaint(m_hWnd, &ps);
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) ShowWindow(m_hWnd, SW_HIDE);
      break;
    case WM_LBUTTONUP:
      ShowWindow(m_hWnd, SW_HIDE);
      return 0;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case 0x02E0:  // WM_DPICHANGED: moved to a monitor of another DPI
      UseDpi(LOWORD(wParam));
      InvalidateRect(m_hWnd, nullptr, TRUE);
      return 0;
    default:
      break;
  }
  return CWindow::WindowProc(message, wParam, lParam);
}

// Sizes the window to its text plus a margin of 10 (at 96 DPI) on each side, cuts the
// region to the outline, and draws the note: fill, top and left border, a
// bevel for the note style, and the text.
void PreviewWnd::Paint(HDC dc) {
  const Colours colours = ColoursFor(m_style);
  win::SelectScope font(dc, m_font.get() ? static_cast<HGDIOBJ>(m_font.get()) : GetStockObject(DEFAULT_GUI_FONT));

  RECT measure = {0, 0, 0, 0};
  DrawTextA(dc, m_text.c_str(), static_cast<int>(m_text.size()), &measure,
            DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
  const int w = measure.right - measure.left, h = measure.bottom - measure.top;

  // Keep the client origin where it is on the screen.
  const int margin = MulDiv(10, static_cast<int>(m_dpi), 96);
  RECT window, client = {0, 0, w + 2 * margin, h + 2 * margin};
  POINT origin = {0, 0};
  ClientToScreen(m_hWnd, &origin);
  GetWindowRect(m_hWnd, &window);
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE));
  AdjustWindowRectEx(&client, style, FALSE, exStyle);
  SetWindowPos(m_hWnd, nullptr, origin.x + client.left, origin.y + client.top,
               client.right - client.left, client.bottom - client.top, SWP_NOZORDER | SWP_NOACTIVATE);

  RECT area;
  GetClientRect(m_hWnd, &area);
  const int W = area.right, H = area.bottom;
  const POINT outline[4] = {{0, 0}, {W, 0}, {W, H}, {0, H}};
  SetShape(4, outline);
  // The system owns the region once it is set. No redraw: we are painting.
  SetWindowRgn(m_hWnd, CreatePolygonRgn(m_shape, m_shapeCount, ALTERNATE), FALSE);

  win::BrushHandle fill(CreateSolidBrush(colours.fill));
  FillRect(dc, &area, fill.get());

  win::PenHandle border(CreatePen(PS_SOLID, 1, colours.border));
  {
    win::SelectScope pen(dc, border.get());
    const POINT frame[5] = {{0, 0}, {W, 0}, {W, H}, {0, H}, {0, 0}};
    Polyline(dc, frame, 5);
  }
  const int R = W - 1, B = H - 1;
  if (m_style != kStyleHighlight) {
    win::PenHandle shadow(CreatePen(PS_SOLID, 1, Shadow(colours.fill)));
    win::PenHandle light(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
    {
      win::SelectScope pen(dc, shadow.get());
      MoveToEx(dc, R - 1, 1, nullptr);
      LineTo(dc, R - 1, B - 1);
      LineTo(dc, 0, B - 1);
    }
    win::SelectScope pen(dc, light.get());
    MoveToEx(dc, 1, B - 3, nullptr);
    LineTo(dc, 1, 1);
    LineTo(dc, R - 2, 1);
  }

  const COLORREF oldText = SetTextColor(dc, colours.text);
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  RECT textRect = {margin, margin, R - margin, B - margin};
  DrawTextA(dc, m_text.c_str(), static_cast<int>(m_text.size()), &textRect, DT_NOPREFIX | DT_EXPANDTABS);
  SetBkMode(dc, oldMode);
  SetTextColor(dc, oldText);
}
