// Hoam.dll, the keyboard hook, loaded from the program's folder and called
// by ordinal. Without the library the calls do nothing (no key reaches the
// engine then).
#pragma once

#include <windows.h>

#include "win/Handles.h"

class HoamLibrary {
 public:
  // Loads Hoam.dll beside the executable; false when it is missing or lacks
  // an entry point.
  bool Load();
  bool IsLoaded() const { return m_install != nullptr; }

  // Ordinal 1: install the hook for `window` (re-attaches when installed).
  void Install(HWND window);
  // Ordinal 2: remove it.
  void Remove();
  // Whether the hook should be there now (installed and not removed since).
  bool IsInstalled() const { return m_installed; }
  // Ordinal 10: the user clicked the prompt.
  void PromptClicked() const;

 private:
  using InstallFunction = void (*)(HWND);
  using PlainFunction = void (*)();
  win::ModuleHandle m_module;
  InstallFunction m_install = nullptr;
  PlainFunction m_remove = nullptr;
  PlainFunction m_clicked = nullptr;
  bool m_installed = false;
};
