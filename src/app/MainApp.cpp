#include "app/MainApp.h"

#include <commctrl.h>

#include "app/MainDlg.h"
#include "res/Resource.h"
#include "win/Handles.h"
#include "win/Resources.h"

BOOL CMainApp::InitInstance() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  // Held until the process ends; a second copy finds it and leaves.
  win::KernelHandle mutex(CreateMutexA(nullptr, TRUE, "Quillet"));
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    win::MessageBoxRes(nullptr, IDS_ALREADY_RUNNING, MB_ICONSTOP, win::Caption::Error);
    return FALSE;
  }
  {
    CMainDlg dialog;
    dialog.DoModal(nullptr);
  }
  return FALSE;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  CMainApp app;
  app.InitInstance();
  return 0;
}
