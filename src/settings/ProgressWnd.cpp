#include "settings/ProgressWnd.h"

#include <commctrl.h>

#include "config/IniFile.h"

namespace {

constexpr char kClassName[] = "QuilletProgressWnd";
constexpr int kTextId = 11;
constexpr int kBarId = 12;
constexpr int kCancelId = 10;
constexpr char kCancelText[] = " &Cancel ";
constexpr int kTextLines = 4;

}  // namespace

ProgressWnd::ProgressWnd(std::string iniPath) : m_iniPath(std::move(iniPath)) {}

ProgressWnd::~ProgressWnd() {
  if (m_hWnd) {
    SavePlace();
    Destroy();
  }
}

bool ProgressWnd::Create(HWND parent, const std::string& title, bool smooth) {
  m_model.title = title;
  if (!RegisterOnce(kClassName, CS_VREDRAW | CS_HREDRAW | CS_OWNDC, LoadCursor(nullptr, IDC_APPSTARTING),
                    GetSysColorBrush(COLOR_BTNFACE)))
    return false;
  if (!CreateEx(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, kClassName, title.c_str(), WS_POPUP | WS_CAPTION, 0, 0, 300,
                100, parent))
    return false;
  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  m_font.reset(CreateFontIndirectA(&metrics.lfMessageFont));
  HINSTANCE instance = GetModuleHandleA(nullptr);
  auto child = [&](const char* cls, const char* text, DWORD style, int id) {
    HWND w = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, m_hWnd,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (w) SendMessageA(w, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), FALSE);
    return w;
  };
  m_text = child("STATIC", "", SS_LEFTNOWORDWRAP | SS_NOPREFIX, kTextId);
  m_bar = child(PROGRESS_CLASSA, "", smooth ? PBS_SMOOTH : 0, kBarId);
  m_button = child("BUTTON", kCancelText, BS_PUSHBUTTON, kCancelId);
  if (!m_text || !m_bar || !m_button) return false;

  // The layout for a message area 390 pixels wide with 10-pixel margins.
  constexpr int kWidth = 390, kMargin = 10;
  HDC dc = GetDC(m_hWnd);
  HGDIOBJ old = SelectObject(dc, m_font.get());
  RECT line = {0, 0, 0, 0};
  DrawTextA(dc, "M", 1, &line, DT_CALCRECT | DT_NOPREFIX | DT_NOCLIP);
  SIZE button = {};
  const std::string buttonText = std::string(kCancelText) + "  ";
  GetTextExtentPoint32A(dc, buttonText.c_str(), static_cast<int>(buttonText.size()), &button);
  SelectObject(dc, old);
  ReleaseDC(m_hWnd, dc);
  const int textHeight = (line.bottom - line.top) * kTextLines;
  const int cx = GetSystemMetrics(SM_CXEDGE), cy = GetSystemMetrics(SM_CYEDGE);
  const int buttonWidth = button.cx + 4 * cx, buttonHeight = button.cy + 3 * cy;
  MoveWindow(m_text, kMargin, kMargin, kWidth, textHeight, FALSE);
  const int buttonLeft = kMargin + kWidth - buttonWidth, buttonTop = kMargin + textHeight + kMargin;
  MoveWindow(m_button, buttonLeft, buttonTop, buttonWidth, buttonHeight, FALSE);
  MoveWindow(m_bar, kMargin, buttonTop + cy, buttonLeft - kMargin - kMargin, buttonHeight - 2 * cy, FALSE);
  RECT window, client;
  GetWindowRect(m_hWnd, &window);
  GetClientRect(m_hWnd, &client);
  const int width = kWidth + 2 * kMargin + (window.right - window.left) - client.right;
  const int height = textHeight + buttonHeight + 3 * kMargin + (window.bottom - window.top) - client.bottom;

  ProgressPlace corner{0, 0};
  bool remembered = false;
  if (!m_iniPath.empty()) {
    CIniFile ini(m_iniPath.c_str());
    corner = {ini.GetInt("Settings", "X", -1), ini.GetInt("Settings", "Y", -1)};
    remembered = corner.x != -1 || corner.y != -1;
  }
  const ProgressPlace place = PlaceProgressWindow(remembered, corner, width, height, GetSystemMetrics(SM_CXSCREEN),
                                                  GetSystemMetrics(SM_CYSCREEN));
  SetWindowPos(m_hWnd, nullptr, place.x, place.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  Show();
  return true;
}

void ProgressWnd::SetRange(int lower, int upper, int step) {
  m_model.SetRange(lower, upper, step);
  if (!m_bar) return;
  SendMessageA(m_bar, PBM_SETRANGE32, static_cast<WPARAM>(lower), static_cast<LPARAM>(upper));
  SendMessageA(m_bar, PBM_SETSTEP, static_cast<WPARAM>(step), 0);
}

int ProgressWnd::SetPos(int position) {
  if (!m_hWnd) return position;
  if (!IsWindowVisible(m_hWnd)) Show();
  if (m_model.SetPos(position)) SetWindowTextA(m_hWnd, m_model.TitleText().c_str());
  SendMessageA(m_bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  return position;
}

void ProgressWnd::SetText(const std::string& text) {
  if (m_text) SetWindowTextA(m_text, text.substr(0, 511).c_str());
}

void ProgressWnd::Hide() {
  if (m_hWnd) SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
}

void ProgressWnd::Show() {
  if (!m_hWnd) return;
  SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_FRAMECHANGED);
  RedrawWindow(m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void ProgressWnd::PeekAndPump(bool cancelOnEsc) {
  MSG message;
  while (!m_cancelled && PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) break;
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (cancelOnEsc && (message.message == WM_CHAR || message.message == WM_KEYDOWN) && message.wParam == VK_ESCAPE) {
      Cancel();
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

bool ProgressWnd::KeepGoing(int done, int every) {
  if (!m_hWnd || done % every != 0) return !m_cancelled;
  SetPos(done);
  PeekAndPump(true);
  return !m_cancelled;
}

void ProgressWnd::Cancel() {
  m_cancelled = true;
  Hide();
}

void ProgressWnd::SavePlace() {
  RECT r;
  if (m_iniPath.empty() || !GetWindowRect(m_hWnd, &r)) return;
  CIniFile ini(m_iniPath.c_str());
  ini.WriteInt("Settings", "X", r.left);
  ini.WriteInt("Settings", "Y", r.top);
}

LRESULT ProgressWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == kCancelId) {
    Cancel();
    return 0;
  }
  return CWindow::WindowProc(message, wParam, lParam);
}
