#include "win/Window.h"

namespace win {

// ---- CDialog -----------------------------------------------------------------

CDialog::CDialog(UINT templateId) : m_templateId(templateId) {}

CDialog::~CDialog() {
  if (m_hWnd && IsWindow(m_hWnd)) {
    SetWindowLongPtrA(m_hWnd, DWLP_USER, 0);
    DestroyWindow(m_hWnd);
  }
}

INT_PTR CDialog::DoModal(HWND owner) {
  return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_templateId), owner,
                         &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

bool CDialog::Create(HWND parent) {
  return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_templateId), parent,
                            &CDialog::DialogProc, reinterpret_cast<LPARAM>(this)) != nullptr;
}

void CDialog::EndDialog(INT_PTR result) {
  if (m_hWnd) ::EndDialog(m_hWnd, result);
}

void CDialog::OnCommandId(UINT id, CommandHandler handler) { m_commands[id] = std::move(handler); }

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CDialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<CDialog*>(lParam);
    self->m_hWnd = window;
    SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    return self->OnInitDialog();
  }
  self = reinterpret_cast<CDialog*>(GetWindowLongPtrA(window, DWLP_USER));
  if (!self) return FALSE;
  INT_PTR answer = self->Dispatch(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, DWLP_USER, 0);
    self->m_hWnd = nullptr;
  }
  return answer;
}

INT_PTR CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    // Menus and accelerators send code 0 or 1; controls only count clicks.
    if (code == 0 || code == 1 || code == BN_CLICKED) {
      auto handler = m_commands.find(id);
      if (handler != m_commands.end()) {
        CommandHandler run = handler->second;  // the handler may end the dialog
        run();
        return TRUE;
      }
      if (id == IDOK) {
        OnOK();
        return TRUE;
      }
      if (id == IDCANCEL) {
        OnCancel();
        return TRUE;
      }
    }
  }
  LRESULT result = 0;
  if (!OnMessage(message, wParam, lParam, result)) return FALSE;
  switch (message) {
    // These return their value directly from the dialog procedure.
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN: case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: case WM_COMPAREITEM: case WM_VKEYTOITEM:
    case WM_CHARTOITEM: case WM_QUERYDRAGICON:
      return static_cast<INT_PTR>(result);
    default:
      SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
      return TRUE;
  }
}

// ---- CWindow -----------------------------------------------------------------

CWindow::~CWindow() { Destroy(); }

bool CWindow::RegisterOnce(const char* className, UINT classStyle, HCURSOR cursor, HBRUSH background) {
  WNDCLASSA existing;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (GetClassInfoA(instance, className, &existing)) return true;
  WNDCLASSA wc = {};
  wc.style = classStyle;
  wc.lpfnWndProc = &CWindow::StaticProc;
  wc.hInstance = instance;
  wc.hCursor = cursor;
  wc.hbrBackground = background;
  wc.lpszClassName = className;
  return RegisterClassA(&wc) != 0;
}

bool CWindow::CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                       int y, int width, int height, HWND parent) {
  HWND made = CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, nullptr,
                              GetModuleHandleA(nullptr), this);
  return made != nullptr;
}

void CWindow::Destroy() {
  if (m_hWnd && IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
  m_hWnd = nullptr;
}

LRESULT CWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CWindow::StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CWindow* self = reinterpret_cast<CWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self && message == WM_NCCREATE) {
    self = static_cast<CWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->m_hWnd = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  LRESULT result = self->WindowProc(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    self->m_hWnd = nullptr;
  }
  return result;
}

}  // namespace win
