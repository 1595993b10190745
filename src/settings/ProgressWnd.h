// A small progress window built without a dialog resource: a message of up
// to four lines, a bar, a Cancel button, and a title with the percentage.
// The caller keeps the user interface alive with PeekAndPump between steps
// and stops when Cancelled() turns true. The window's corner is remembered
// in Config.ini ("Settings", "X" and "Y") when it is destroyed.
//
// Threading: the user-interface thread only.
#pragma once

#include <windows.h>

#include <string>

#include "config/ProgressModel.h"
#include "win/Handles.h"
#include "win/Window.h"

class ProgressWnd final : public win::CWindow {
 public:
  // iniPath: the file that remembers the window's place (may be empty).
  explicit ProgressWnd(std::string iniPath);
  ~ProgressWnd() override;

  bool Create(HWND parent, const std::string& title, bool smooth = false);
  void SetRange(int lower, int upper, int step);
  int SetPos(int position);
  int StepIt() { return SetPos(m_model.Position() + m_model.Step()); }
  void SetText(const std::string& text);
  void Hide();
  void Show();
  bool Cancelled() const { return m_cancelled; }
  // Handles what is waiting without blocking; Escape cancels when asked to.
  void PeekAndPump(bool cancelOnEsc);
  // For a long loop: every `every` steps shows `done` and lets the user act
  // (Escape cancels); false once cancelled. A window that could not be made
  // never stops the loop.
  bool KeepGoing(int done, int every = 500);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Cancel();
  void SavePlace();

  std::string m_iniPath;
  CProgressModel m_model;
  HWND m_text = nullptr;
  HWND m_bar = nullptr;
  HWND m_button = nullptr;
  win::FontHandle m_font;
  bool m_cancelled = false;
};
