// The About box: the program's icon, name and version, what it does, and a
// link to the home page.
#pragma once

#include "settings/HoamStatic.h"
#include "win/Window.h"

class CAboutDlg final : public win::CDialog {
 public:
  CAboutDlg();

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  CHoamStatic m_link;
};
