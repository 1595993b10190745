// The main window: a dialog that is never shown as a normal window. It is
// the prompt (drawn, placed and sized by CPromptWindow), the receiver of the
// keyboard hook's keys, of the tray icon's commands and of the global on/off
// hotkey, and the owner of every long-lived object.
//
// The typing behaviour is the portable engine::CTypingEngine; this class
// wires it to the system: the engine's host, caret information, desktop and
// output are implemented here with Win32 calls (its prompt view is
// CPromptWindow), as the simulated desktop's main window does for the tests.
//
// Threading: the user-interface thread only; the hook's keys, WinEvents,
// timers and tray messages all arrive there between messages.
#pragma once

#include <windows.h>

#include <memory>

#include "app/HoamLibrary.h"
#include "app/PromptWindow.h"
#include "app/SystemTray.h"
#include "engine/Core.h"
#include "engine/HookWatchdog.h"
#include "engine/TypingEngine.h"
#include "output/CaretTracker.h"
#include "output/ClipboardKeeper.h"
#include "output/win32/CaretHook.h"
#include "output/win32/PromptListCtrl.h"
#include "win/Handles.h"
#include "win/Window.h"

class CMainDlg final : public win::CDialog,
                       public engine::EngineHost,
                       public engine::CaretInfo,
                       public engine::EngineDesktop,
                       public engine::CompletionOutput,
                       public output::CaretOwner,
                       public CSystemTray::Host,
                       public PromptListCtrl::ClickSink {
 public:
  // The tray icon's callback message.
  static constexpr UINT WM_TRAY_NOTIFY = WM_USER + 10;
  // Accessibility events are waiting for the caret tracker.
  static constexpr UINT WM_CARET_EVENTS = WM_USER + 1010;
  // The engine's reason for prompting or not changed: the tray's tip follows.
  static constexpr UINT WM_REASON_CHANGED = WM_USER + 1012;
  // Answers the window whose typing Quillet follows, or 0 while it ignores
  // focus changes (just after a completion): for tools that wait until keys
  // they type will be followed.
  static constexpr UINT WM_QUERY_FOCUS = WM_USER + 1013;
  static constexpr int kHotkeyId = 1002;

  CMainDlg();
  ~CMainDlg() override;

  // Reads the options, hands them to the engine and registers the hotkey.
  void ApplyOptions();

  // EngineHost
  void PostToSelf(unsigned message) override;
  void SetTimer(int id, unsigned milliseconds) override;
  void KillTimer(int id) override;
  void Beep() override;
  engine::WindowHandle MainWindow() const override;
  void ReasonChanged() override;

  // CaretInfo
  engine::WindowHandle FocusWindow() const override;
  bool IsTypingWindow() override;
  engine::Point GetCaretPoint() override;
  engine::PromptReason::Code NotTypingReason() const override;

  // EngineDesktop
  engine::WindowHandle ForegroundWindow() const override;
  void SetForegroundWindow(engine::WindowHandle window) override;
  bool IsWindowValid(engine::WindowHandle window) const override;
  engine::WindowHandle WindowParent(engine::WindowHandle window) const override;
  bool ForegroundHasIme() const override;
  bool RunsWithHigherRights(engine::WindowHandle window) const override;
  bool ListFolder(const std::string& pattern, std::vector<engine::FolderEntry>& entries) override;

  // CompletionOutput
  void Backspaces(int count) override;
  void TypeMacroText(const std::string& text, engine::WindowHandle target) override;

  // CaretOwner
  void RepositionPrompt() override;
  void OnFocusLeft(engine::WindowHandle window) override;
  void OnFocusEntered(engine::WindowHandle window) override;

  // CSystemTray::Host
  HWND CommandWindow() const override { return m_hWnd; }
  void PrepareMenu(HMENU menu) override;

  // PromptListCtrl::ClickSink
  void OnPromptClick(int row, bool doubleClick) override;

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  // Enter must never end the program (the prompt swallows it while shown),
  // nor Escape or IDCANCEL: the hidden dialog becomes the foreground window
  // after the tray menu or a closed dialog, and a key that reaches it then
  // is not a request to quit. Exit, WM_CLOSE and the installer end it.
  void OnOK() override {}
  void OnCancel() override {}

 private:
  void OnStartupTimer();
  void Quit();
  void WatchHook();
  void OnRawInput(HRAWINPUT input);
  bool OnNotify(const NMHDR& header, LRESULT& result);
  void OnCaretCheck();
  void UpdateTip();

  // Tray commands
  void OnToggleEngine();
  void OnToggleAutoLearn();
  void OnToggleWords();
  void OnTogglePhrases();
  void OnToggleShorthand();
  void OnHelpContents();
  void OnFeedback();
  void OnAbout();
  void RunOptions(UINT startPage);
  void OnDictionariesManager();
  void OnApplicationManager();
  void OnEditManager();
  void OnUserFile(UINT stringId);
  void ReloadDictionaries();
  bool RegisterToggleHotkey(DWORD hotkey);
  // Runs a dialog opened from the tray menu: the menu stays shut while it is
  // open and opens again after it, whatever `run` returns.
  template <typename Run>
  auto RunTrayDialog(Run run) {
    struct MenuLock {
      CSystemTray& tray;
      ~MenuLock() { tray.menuEnabled = true; }
    } lock{m_tray};
    m_tray.menuEnabled = false;
    return run();
  }

  win::IconHandle m_hIcon;
  win::IconHandle m_hSmallIcon;
  engine::QuilletCore m_core;
  CSystemTray m_tray;
  std::uint32_t m_dwToggleHotkey = 0x00020074;
  bool m_bToggleHotkeyHeld = false;
  std::uint32_t m_bFirstRun = 1;
  output::win32::SystemCaretDesktop m_caretDesktop;
  output::win32::WordAutomation m_word;
  output::CaretTracker m_caret;
  CPromptWindow m_prompt{m_caret};
  output::ClipboardKeeper m_clipboardKeeper;
  std::unique_ptr<output::win32::CaretEventHook> m_caretHook;
  std::unique_ptr<engine::CTypingEngine> m_engine;
  HoamLibrary m_hoam;
  engine::HookWatchdog m_hookWatchdog;
  bool m_bHookOn = true;
  bool m_bHigherRightsTold = false;
  std::string m_strTip;
  ULONGLONG m_tipShownAt = 0;
  bool m_bOleReady = false;
};

// The one main window, for the pages and hooks that need to reach it.
extern CMainDlg* g_pMainDlg;
