// The application object: one instance per machine session (the named
// mutex "Quillet"), running the main window for the whole life of the
// program.
#pragma once

#include <windows.h>

class CMainApp {
 public:
  // Runs the program; returns FALSE when it is over (as it always is).
  BOOL InitInstance();
};
