// The Windows side of the caret tracker: a global out-of-context WinEvent
// hook whose events are decoded with the accessibility calls
// (AccessibleObjectFromEvent, accLocation, get_accRole) and handed to the
// portable output::CaretTracker; the desktop queries the tracker asks
// (foreground window, window rectangles, password boxes, the GUI-thread
// caret); and the automation query of a running Microsoft Word.
//
// Threading: the user-interface thread only. The hook's callback runs on
// that thread between messages. Asking another process for its accessible
// objects lets further events (and sent messages) arrive inside the call,
// so the callback only queues the event and posts `notifyMessage` to the
// main window, which then calls Drain.
#pragma once

#include <windows.h>

#include <deque>

#include "output/CaretTracker.h"
#include "win/Handles.h"

namespace output::win32 {

class SystemCaretDesktop final : public output::CaretDesktop {
 public:
  platform::WindowHandle ForegroundWindow() const override;
  bool WindowRect(platform::WindowHandle window, output::ScreenRect& rect) const override;
  bool IsPasswordEdit(platform::WindowHandle window) const override;
  bool GuiThreadCaret(platform::WindowHandle window, output::ScreenRect& caret) const override;
};

// Asks a running Word, through late-bound automation, where the selection of
// its active window is. Word is never started.
class WordAutomation final : public output::WordCaretQuery {
 public:
  bool GetWordCaretPos(output::ScreenPoint& point) override;
};

class CaretEventHook {
 public:
  // `tracker` gets the decoded events; `notifyWindow` is told through
  // `notifyMessage` that events wait.
  CaretEventHook(output::CaretTracker& tracker, HWND notifyWindow, UINT notifyMessage);
  ~CaretEventHook();
  CaretEventHook(const CaretEventHook&) = delete;
  CaretEventHook& operator=(const CaretEventHook&) = delete;

  // Hooks every event of every process but ours; true when the hook came.
  bool Start();
  void Stop();
  bool IsHooked() const { return static_cast<bool>(m_hook); }

  // Decodes and hands on the waiting events.
  void Drain();

  // Decodes one event; false when its accessible object cannot be had.
  static bool Decode(HWND window, LONG objectId, LONG childId, DWORD event, output::AccessibleEvent& out);

 private:
  struct Raw {
    DWORD event;
    HWND window;
    LONG objectId;
    LONG childId;
  };
  static void CALLBACK Callback(HWINEVENTHOOK hook, DWORD event, HWND window, LONG objectId,
                                LONG childId, DWORD thread, DWORD time);
  void Queue(const Raw& raw);

  output::CaretTracker& m_tracker;
  HWND m_notifyWindow;
  UINT m_notifyMessage;
  win::WinEventHookHandle m_hook;
  std::deque<Raw> m_waiting;
  bool m_posted = false;
  bool m_draining = false;
};

}  // namespace output::win32
