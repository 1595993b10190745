// The small window framework that Quillet's windows share.
//
// CDialog runs a dialog from a template. The dialog procedure stores the
// object with the window (DWLP_USER) when the dialog is created and hands
// every later message to the object: WM_COMMAND to the handler registered
// for its id with OnCommandId (one small handler per command), everything
// else to the virtual OnMessage. A derived class answers a message by
// returning true and setting `result`; unanswered messages take the
// system's default dialog handling.
//
// CWindow is the same for windows of a class of our own (RegisterOnce):
// the object is stored in GWLP_USERDATA from WM_NCCREATE on, and WindowProc
// gets every message; unanswered ones go to DefWindowProc.
//
// Threading: the user-interface thread only. The objects must outlive their
// windows; the destructors destroy windows that are still there.
#pragma once

#include <windows.h>

#include <functional>
#include <unordered_map>

namespace win {

class CDialog {
 public:
  explicit CDialog(UINT templateId);
  virtual ~CDialog();
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  // Runs the dialog modally; returns the value given to EndDialog, or -1
  // when the dialog could not be made.
  INT_PTR DoModal(HWND owner);
  // Makes the dialog modeless, as a child of `parent` when its template says
  // so; false when it could not be made.
  bool Create(HWND parent);
  // Ends a modal dialog with `result`.
  void EndDialog(INT_PTR result);

  HWND Handle() const { return m_hWnd; }
  HWND Item(int id) const { return GetDlgItem(m_hWnd, id); }

 protected:
  using CommandHandler = std::function<void()>;
  // Runs `handler` for WM_COMMAND with this id (menu, accelerator or a
  // control's BN_CLICKED).
  void OnCommandId(UINT id, CommandHandler handler);

  // WM_INITDIALOG. Return TRUE to let the system set the focus.
  virtual BOOL OnInitDialog() { return TRUE; }
  // Any other message; true when answered (then `result` is its value).
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return false;
  }
  // IDOK and IDCANCEL without a handler of their own end the dialog.
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }

  HWND m_hWnd = nullptr;

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

  UINT m_templateId;
  std::unordered_map<UINT, CommandHandler> m_commands;
};

class CWindow {
 public:
  CWindow() = default;
  virtual ~CWindow();
  CWindow(const CWindow&) = delete;
  CWindow& operator=(const CWindow&) = delete;

  // Registers a window class of ours (once per process) whose procedure
  // forwards to the object. False when it cannot be registered.
  static bool RegisterOnce(const char* className, UINT classStyle = 0, HCURSOR cursor = nullptr,
                           HBRUSH background = nullptr);
  // Creates the window; false on failure.
  bool CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                int y, int width, int height, HWND parent);
  void Destroy();

  HWND Handle() const { return m_hWnd; }

 protected:
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  HWND m_hWnd = nullptr;

 private:
  static LRESULT CALLBACK StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace win
