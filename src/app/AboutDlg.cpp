#include "app/AboutDlg.h"

#include <cstdio>
#include <string>

#include "res/Resource.h"
#include "win/Resources.h"

CAboutDlg::CAboutDlg() : win::CDialog(IDD_ABOUTBOX) {
  OnCommandId(IDC_ABOUT_LINK, [this] { m_link.OnClicked(); });
}

BOOL CAboutDlg::OnInitDialog() {
  const std::string product = win::LoadStr(IDS_TRAY_TIP);
  char title[256];
  std::snprintf(title, sizeof title, win::LoadStr(IDS_ABOUT_TITLE).c_str(), product.c_str());
  SetWindowTextA(m_hWnd, title);
  SetDlgItemTextA(m_hWnd, IDC_ABOUT_NAME, product.c_str());
  SetDlgItemTextA(m_hWnd, IDC_ABOUT_LINE1, win::LoadStr(IDS_ABOUT_LINE1).c_str());
  SetDlgItemTextA(m_hWnd, IDC_ABOUT_LINE2, win::LoadStr(IDS_ABOUT_LINE2).c_str());
  m_link.Attach(m_hWnd, IDC_ABOUT_LINK);
  m_link.url = win::LoadStr(IDS_URL_HOMEPAGE);
  SetDlgItemTextA(m_hWnd, IDC_ABOUT_LINK, m_link.url.c_str());
  return TRUE;
}

bool CAboutDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lParam) == m_link.Handle()) {
    result = reinterpret_cast<LRESULT>(m_link.OnCtlColor(reinterpret_cast<HDC>(wParam)));
    return true;
  }
  return false;
}
