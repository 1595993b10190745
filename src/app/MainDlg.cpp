#include "app/MainDlg.h"

#include <imm.h>
#include <ole2.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/AboutDlg.h"
#include "app/HotkeyText.h"
#include "config/Config.h"
#include "engine/PromptReasonTexts.h"
#include "output/ClipboardKeeper.h"
#include "output/MacroTyper.h"
#include "output/SendKeystroke.h"
#include "platform/Keyboard.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "res/Resource.h"
#include "settings/HelpEngine.h"
#include "settings/DictDlgs.h"
#include "settings/OptionsDlg.h"
#include "settings/RuleDlgs.h"
#include "win/Resources.h"

CMainDlg* g_pMainDlg = nullptr;

namespace {

HWND ToHwnd(engine::WindowHandle w) { return reinterpret_cast<HWND>(w); }
engine::WindowHandle FromHwnd(HWND w) { return reinterpret_cast<engine::WindowHandle>(w); }

constexpr int kStartupTimer = engine::kStartupTimer;
// A check of the caret's place shortly after a key, while the prompt is up.
constexpr UINT_PTR kCaretCheckTimer = 1004;
constexpr UINT kCaretCheckDelay = 15;
// Wine updates a thread's caret rectangle only some time after the caret
// moved, so the check goes on while the prompt is shown.
constexpr UINT kCaretRecheckInterval = 100;
// The tray's tip changes at most this often (ms), however fast the focus
// moves; the last change waits on this timer.
constexpr UINT_PTR kTipTimer = 1006;
constexpr ULONGLONG kTipInterval = 250;

// The folder of the executable without its trailing backslash.
std::string ProgramFolder() {
  std::string folder = win::ExeFolder();
  if (!folder.empty()) folder.pop_back();
  return folder;
}

// The mandatory integrity level of a process (its label's last
// sub-authority: 0x2000 medium, 0x3000 high), or 0 when it cannot be read.
DWORD IntegrityLevel(DWORD pid) {
  win::KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  HANDLE token = nullptr;
  if (!process || !OpenProcessToken(process.get(), TOKEN_QUERY, &token)) return 0;
  win::KernelHandle owned(token);
  DWORD size = 0;
  GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  if (size == 0 || !GetTokenInformation(token, TokenIntegrityLevel, buffer.data(), size, &size)) return 0;
  PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buffer.data())->Label.Sid;
  const UCHAR count = *GetSidSubAuthorityCount(sid);
  return count ? *GetSidSubAuthority(sid, count - 1u) : 0;
}

bool RunsAboveUs(HWND window) {
  static const DWORD ours = IntegrityLevel(GetCurrentProcessId());
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (!pid || !ours) return false;
  const DWORD theirs = IntegrityLevel(pid);
  return theirs > ours;
}

}  // namespace

CMainDlg::CMainDlg()
    : win::CDialog(IDD_QUILLET_DIALOG),
      m_core(platform::SystemDesktop(), platform::SystemProcesses(), win::ExeFolder()),
      m_tray(*this),
      m_caret(platform::SystemDesktop(), m_caretDesktop, m_core.config, &m_word) {
  m_engine = std::make_unique<engine::CTypingEngine>(*this, m_prompt, *this, *this, *this, m_core.config,
                                                     m_core.dictSet, m_core.autoLearn);
  g_pMainDlg = this;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  m_hIcon.reset(static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
  m_hSmallIcon.reset(static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), 0)));

  OnCommandId(ID_ENABLE, [this] { OnToggleEngine(); });
  OnCommandId(ID_ENABLE_AUTOLEARN, [this] { OnToggleAutoLearn(); });
  OnCommandId(ID_WORD_AUTOCOMPLETE, [this] { OnToggleWords(); });
  OnCommandId(ID_PHRASE_AUTOCOMPLETE, [this] { OnTogglePhrases(); });
  OnCommandId(ID_SHORTHAND_AUTOEXPAND, [this] { OnToggleShorthand(); });
  OnCommandId(ID_HELP_CONTENTS, [this] { OnHelpContents(); });
  OnCommandId(ID_HOMEPAGE, [this] { win::OpenWithShell(m_hWnd, win::LoadStr(IDS_URL_HOMEPAGE)); });
  OnCommandId(ID_MORE_DICTIONARIES, [this] { win::OpenWithShell(m_hWnd, win::LoadStr(IDS_URL_DICTIONARIES)); });
  OnCommandId(ID_FEEDBACK, [this] { OnFeedback(); });
  OnCommandId(ID_ABOUT, [this] { OnAbout(); });
  OnCommandId(ID_OPTIONS, [this] { RunOptions(0); });
  OnCommandId(ID_DICTIONARIES_MANAGER, [this] { OnDictionariesManager(); });
  OnCommandId(ID_APPLICATION_MANAGER, [this] { OnApplicationManager(); });
  OnCommandId(ID_EDIT_MANAGER, [this] { OnEditManager(); });
  OnCommandId(ID_USER_DICTIONARY, [this] { OnUserFile(IDS_USER_DICTIONARY); });
  OnCommandId(ID_USER_SHORTHANDS, [this] { OnUserFile(IDS_USER_SHORTHANDS); });
  OnCommandId(ID_AUTOLEARN_DICTIONARY, [this] { RunOptions(IDS_PAGE_AUTOLEARN); });
  OnCommandId(ID_EXIT, [this] { Quit(); });
}

CMainDlg::~CMainDlg() {
  m_caretHook.reset();
  m_engine.reset();
  if (m_bOleReady) OleUninitialize();
  if (g_pMainDlg == this) g_pMainDlg = nullptr;
}

// ---- initialisation --------------------------------------------------------------

BOOL CMainDlg::OnInitDialog() {
  m_bOleReady = SUCCEEDED(OleInitialize(nullptr));
  m_prompt.Attach(m_hWnd);
  m_prompt.Hide();

  // Applications report their caret to accessibility clients only while a
  // screen reader is said to be present.
  SystemParametersInfoA(SPI_SETSCREENREADER, TRUE, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
  PostMessageA(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETSCREENREADER, 0);

  SetWindowTextA(m_hWnd, win::LoadStr(IDS_CAPTION).c_str());
  if (HMENU system = GetSystemMenu(m_hWnd, FALSE)) {
    AppendMenuA(system, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(system, MF_STRING, IDM_ABOUTBOX, win::LoadStr(IDS_ABOUTBOX).c_str());
  }
  SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon.get()));
  SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hSmallIcon.get()));

  ApplyOptions();

  m_prompt.CreateControls(Item(IDC_PROMPT_LIST), *this);
  m_tray.Create(nullptr, WM_TRAY_NOTIFY, win::LoadStr(IDS_TRAY_TIP), m_hSmallIcon.get(), IDR_TRAYMENU);


  m_caretHook = std::make_unique<output::win32::CaretEventHook>(m_caret, m_hWnd, WM_CARET_EVENTS);
  ::SetTimer(m_hWnd, kStartupTimer, 0, nullptr);
  return TRUE;
}

void CMainDlg::ApplyOptions() {
  CConfig& config = m_core.config;
  config.LoadAll();
  m_dwToggleHotkey = config.dwEnableHoam;
  m_engine->ApplyOptions();

  m_bToggleHotkeyHeld = RegisterToggleHotkey(m_dwToggleHotkey);

  UpdateFirstRunFlag(platform::SystemRegistry(), m_bFirstRun);
}

// A changed hotkey replaces the old one: without unregistering first the old
// combination would keep switching the engine as well.
bool CMainDlg::RegisterToggleHotkey(DWORD hotkey) {
  UnregisterHotKey(m_hWnd, kHotkeyId);
  const UINT flags = HIWORD(hotkey);
  UINT modifiers = 0;
  if (flags & 1) modifiers |= MOD_SHIFT;
  if (flags & 2) modifiers |= MOD_CONTROL;
  if (flags & 4) modifiers |= MOD_ALT;
  return RegisterHotKey(m_hWnd, kHotkeyId, modifiers, LOWORD(hotkey)) != FALSE;
}

void CMainDlg::OnApplicationManager() {
  RunTrayDialog([&] {
    CDlgAppManager manager(m_core.config);
    return manager.DoModal(m_hWnd);
  });
}

// Keys are not followed while the Edit Box List is open, so that the finder
// can be dragged over any window; afterwards the engine, its icon and the
// hook are as they were before.
void CMainDlg::OnEditManager() {
  const bool wasOn = m_bHookOn;
  if (wasOn) m_hoam.Remove();
  m_bHookOn = false;
  m_prompt.Hide();
  const INT_PTR result = RunTrayDialog([&] {
    CDlgEditBoxList list(m_core.config);
    return list.DoModal(m_hWnd);
  });
  if (wasOn) m_hoam.Install(m_hWnd);
  m_bHookOn = wasOn;
  if (result == IDOK) ApplyOptions();
}

// The Dictionaries Manager; afterwards the prompt uses the dictionaries as
// the user left them checked. The prompt's own set lets go of the files while a dialog may change them,
// so that nothing it holds is written over the user's edits.
void CMainDlg::OnDictionariesManager() {
  m_core.dictSet.UnloadAll();
  RunTrayDialog([&] {
    CDlgDictManager manager(m_core.config);
    return manager.DoModal(m_hWnd);
  });
  ReloadDictionaries();
}

// The editor on one of the user files; they are part of the set, which
// takes the changes in at once.
void CMainDlg::OnUserFile(UINT stringId) {
  m_core.dictSet.UnloadAll();
  RunTrayDialog([&] {
    CDlgDictOption editor(UserFilePath(stringId), m_core.config.ConfigIniPath());
    return editor.DoModal(m_hWnd);
  });
  ReloadDictionaries();
}

void CMainDlg::ReloadDictionaries() {
  const std::string pattern = ProgramFolder() + win::LoadStr(IDS_LIBS_PATTERN);
  m_core.dictSet.UnloadAll();
  m_core.dictSet.SetKeyLengthLimits(m_core.config.nMinWordLength, m_core.config.nMaxWordLength);
  m_core.dictSet.LoadAll(pattern.c_str(), false);
  if (m_core.config.bCommonFirst) m_core.dictSet.PrepareCommon();
}

// The Options dialog on one of its pages; after OK every option takes effect
// at once. The hook is left as the user had it: switched off, the engine
// stays off.
void CMainDlg::RunOptions(UINT startPage) {
  const DWORD previous = m_dwToggleHotkey;
  const INT_PTR result = RunTrayDialog([&] {
    COptionsDlg options(m_core.config, &m_core.autoLearn);
    if (startPage) options.startPage = win::LoadStr(startPage);
    return options.DoModal(m_hWnd);
  });
  if (result != IDOK) return;
  ApplyOptions();
  if (m_bToggleHotkeyHeld || m_dwToggleHotkey == previous) return;
  // Another program holds the new hotkey: the old one keeps working and
  // nothing of the refused one is kept.
  const DWORD refused = m_dwToggleHotkey;
  m_core.config.dwEnableHoam = previous;
  m_core.config.SaveHotKeys();
  m_dwToggleHotkey = previous;
  m_bToggleHotkeyHeld = RegisterToggleHotkey(previous);
  char text[512];
  std::snprintf(text, sizeof text, win::LoadStr(IDS_HOTKEY_TAKEN).c_str(),
                HotkeyText(LOWORD(refused), HIWORD(refused)).c_str(),
                HotkeyText(LOWORD(previous), HIWORD(previous)).c_str());
  win::MessageBoxText(m_hWnd, text, MB_OK | MB_ICONWARNING);
}

// Start-up, once the message loop runs: hide, load the dictionaries and the
// learning file, install the keyboard hook and follow the caret.
void CMainDlg::OnStartupTimer() {
  ShowWindow(m_hWnd, SW_HIDE);
  m_prompt.ReleaseActivation();
  ::KillTimer(m_hWnd, kStartupTimer);

  const std::string libs = ProgramFolder() + "\\libs";
  CreateDirectoryA(libs.c_str(), nullptr);
  const std::string pattern = ProgramFolder() + win::LoadStr(IDS_LIBS_PATTERN);
  m_core.dictSet.SetKeyLengthLimits(m_core.config.nMinWordLength, m_core.config.nMaxWordLength);
  if (!m_core.dictSet.LoadAll(pattern.c_str(), false) &&
      win::MessageBoxRes(m_hWnd, IDS_NO_DICTIONARY, MB_OKCANCEL | MB_ICONSTOP, win::Caption::Error) == IDOK)
    OnDictionariesManager();
  if (m_core.config.bCommonFirst) m_core.dictSet.PrepareCommon();
  // One lookup, so that the first real one finds the files warm.
  DictItem warm;
  m_core.dictSet.FindFirst("a", warm, m_engine->m_nMatchFlags, m_engine->m_bShorthand);

  m_core.OpenAutoLearn();

  if (m_hoam.Load()) m_hoam.Install(m_hWnd);
  m_bHookOn = true;
  WatchHook();
  m_caretHook->Start();
  m_caret.SetOwner(this);
  UpdateTip();
}

// Windows removes a low-level hook that answered too slowly, and says
// nothing. Raw input (asked for in the background too) sees every key as
// well, so a hook that has gone quiet while keys arrive is found and put
// back. Without raw input nothing is watched.
void CMainDlg::WatchHook() {
  RAWINPUTDEVICE keyboard = {};
  keyboard.usUsagePage = 0x01;  // generic desktop controls
  keyboard.usUsage = 0x06;      // keyboard
  keyboard.dwFlags = RIDEV_INPUTSINK;
  keyboard.hwndTarget = m_hWnd;
  RegisterRawInputDevices(&keyboard, 1, sizeof keyboard);
}

void CMainDlg::OnRawInput(HRAWINPUT input) {
  RAWINPUT data = {};
  UINT size = sizeof data;
  if (GetRawInputData(input, RID_INPUT, &data, &size, sizeof(RAWINPUTHEADER)) == static_cast<UINT>(-1) ||
      data.header.dwType != RIM_TYPEKEYBOARD)
    return;
  // Key presses of the user only: our own synthetic keys carry their own
  // scan code, and releases add nothing.
  if ((data.data.keyboard.Flags & RI_KEY_BREAK) || data.data.keyboard.MakeCode == platform::kSyntheticScanCode ||
      data.data.keyboard.ExtraInformation == platform::kSyntheticExtraInfo)
    return;
  if (!m_hookWatchdog.OnRawKey(m_hoam.IsInstalled(), GetTickCount64())) return;
  char line[96];
  std::snprintf(line, sizeof line, "Quillet: the keyboard hook was gone and is installed again (%d)\n",
                m_hookWatchdog.Reinstalls());
  OutputDebugStringA(line);
  m_hoam.Remove();
  m_hoam.Install(m_hWnd);
}

// Ends the dialog, and with it the program.
void CMainDlg::Quit() { EndDialog(IDCANCEL); }

// ---- messages ------------------------------------------------------------------

bool CMainDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case engine::WM_HOOK_KEY:
      m_hookWatchdog.OnHookKey(GetTickCount64());
      m_prompt.SetInHookKey(true);
      result = m_engine->OnMessage(message, wParam, lParam);
      m_prompt.SetInHookKey(false);
      if (m_prompt.IsVisible()) ::SetTimer(m_hWnd, kCaretCheckTimer, kCaretCheckDelay, nullptr);
      return true;
    case CPromptWindow::WM_APPLY_PROMPT:
      m_prompt.ApplyDeferred();
      return true;
    case WM_REASON_CHANGED:
      UpdateTip();
      return true;
    case WM_QUERY_FOCUS:
      result = m_engine->m_bFocusTracking ? static_cast<LRESULT>(m_caret.focusWindow) : 0;
      return true;
    case engine::WM_INPUT_CHANGED:
      result = m_engine->OnMessage(message, wParam, lParam);
      // The target application handles a key after us; where no caret
      // events follow (Wine sends none) the prompt looks for the caret again
      // once the application has had the key.
      if (m_prompt.IsVisible()) ::SetTimer(m_hWnd, kCaretCheckTimer, kCaretCheckDelay, nullptr);
      return true;
    case engine::WM_SELECT_ITEM:
    case engine::WM_COMPLETE_ITEM:
      result = m_engine->OnMessage(message, wParam, lParam);
      return true;
    case WM_CARET_EVENTS:
      if (m_caretHook) m_caretHook->Drain();
      return true;
    case WM_TIMER:
      if (wParam == static_cast<WPARAM>(kStartupTimer)) {
        OnStartupTimer();
        return true;
      }
      if (wParam == kCaretCheckTimer) {
        // Soon after a key, then now and then while the prompt is up.
        if (m_prompt.IsVisible()) ::SetTimer(m_hWnd, kCaretCheckTimer, kCaretRecheckInterval, nullptr);
        else ::KillTimer(m_hWnd, kCaretCheckTimer);
        OnCaretCheck();
        return true;
      }
      if (wParam == static_cast<WPARAM>(output::ClipboardKeeper::kRestoreTimer)) {
        if (!m_clipboardKeeper.Tick()) ::KillTimer(m_hWnd, wParam);
        return true;
      }
      if (wParam == static_cast<WPARAM>(engine::kFocusTrackingTimer)) {
        m_engine->OnTimer(engine::kFocusTrackingTimer);
        return true;
      }
      if (wParam == kTipTimer) {
        ::KillTimer(m_hWnd, kTipTimer);
        UpdateTip();
        return true;
      }
      return false;
    case WM_HOTKEY:
      if (wParam == kHotkeyId) OnToggleEngine();
      return true;
    case WM_INPUT:
      OnRawInput(reinterpret_cast<HRAWINPUT>(lParam));
      return false;  // the default handling frees the input
    case WM_WINDOWPOSCHANGING:
      // The dialog appears only as the prompt: the modal loop's own attempt
      // to show it (and to activate it) when it first goes idle is refused.
      if (!m_prompt.IsShowing()) {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (pos->flags & SWP_SHOWWINDOW) pos->flags = (pos->flags & ~SWP_SHOWWINDOW) | SWP_NOACTIVATE;
      }
      return false;
    case WM_SHOWWINDOW:
      if (!wParam) {
        m_prompt.HidePreviewWindow();
        m_tray.SetMenuDefaultItem(ID_ENABLE, false);
      }
      return false;
    case WM_MOVE:
      m_prompt.PlacePreview();
      return false;
    case WM_SIZE:
      m_prompt.OnSize();
      return false;
    case WM_MOUSEACTIVATE:
      // A click on the prompt leaves the application active.
      result = MA_NOACTIVATE;
      return true;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_LBUTTONUP:
      m_hoam.PromptClicked();
      return false;
    case WM_DRAWITEM:
      if (wParam == IDC_PROMPT_LIST) {
        m_prompt.DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
      }
      return false;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result);
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
        OnAbout();
        return true;
      }
      return false;
    case WM_CLOSE:
      m_hoam.Remove();
      m_bHookOn = false;
      Quit();
      return true;
    case WM_DESTROY:
      m_engine->ClearCandidates();
      m_hoam.Remove();
      if (m_caretHook) m_caretHook->Stop();
      m_caret.SetOwner(nullptr);
      UnregisterHotKey(m_hWnd, kHotkeyId);
      m_core.dictSet.UnloadAll();
      return false;
    default:
      return false;
  }
}

bool CMainDlg::OnNotify(const NMHDR& header, LRESULT& result) {
  if (header.idFrom != IDC_PROMPT_LIST) return false;
  if (header.code == LVN_ITEMCHANGED) {
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    const UINT wanted = LVIS_SELECTED | LVIS_FOCUSED;
    if ((change.uNewState & wanted) == wanted && (change.uOldState & wanted) != wanted)
      m_engine->OnRowSelected(change.iItem);
  } else if (header.code == NM_DBLCLK) {
    const auto& click = reinterpret_cast<const NMITEMACTIVATE&>(header);
    if (click.iItem >= 0) m_engine->OnRowDoubleClick(click.iItem);
  }
  result = 0;
  return true;
}

// A click selects its row, a double click completes it.
void CMainDlg::OnPromptClick(int row, bool doubleClick) {
  m_hoam.PromptClicked();
  if (row < 0) return;
  if (doubleClick) m_engine->OnRowDoubleClick(row);
  else m_prompt.SelectRow(row);
}

// ---- tray commands ----------------------------------------------------------------

void CMainDlg::OnToggleEngine() {
  m_engine->ResetInput();
  if (m_bHookOn) {
    m_hoam.Remove();
    m_tray.SetIcon(static_cast<UINT>(IDI_DISABLED));
    m_bHookOn = false;
  } else {
    m_hoam.Install(m_hWnd);
    m_tray.SetIcon(static_cast<UINT>(IDR_MAINFRAME));
    m_bHookOn = true;
  }
  m_prompt.Hide();
  const CConfig& config = m_core.config;
  m_engine->SetSwitchedOff(!m_bHookOn, HotkeyText(LOWORD(config.dwEnableHoam), HIWORD(config.dwEnableHoam)));
}

void CMainDlg::OnToggleAutoLearn() {
  CConfig& config = m_core.config;
  config.bEnableAutolearn = !config.bEnableAutolearn;
  m_core.autoLearn.bEnable = config.bEnableAutolearn != 0;
  config.SaveAutoLearn();
}

void CMainDlg::OnToggleWords() {
  CConfig& config = m_core.config;
  config.bEnableWord = !config.bEnableWord;
  m_engine->m_nMatchFlags ^= engine::kMatchWords;
  config.SaveOthers();
}

void CMainDlg::OnTogglePhrases() {
  CConfig& config = m_core.config;
  config.bEnablePhrase = !config.bEnablePhrase;
  m_engine->m_nMatchFlags ^= engine::kMatchPhrases;
  config.SaveOthers();
}

void CMainDlg::OnToggleShorthand() {
  CConfig& config = m_core.config;
  m_engine->m_bShorthand = !m_engine->m_bShorthand;
  config.bEnableShorthand = m_engine->m_bShorthand ? 1 : 0;
  config.SaveOthers();
}

void CMainDlg::OnHelpContents() {
  settings::HtmlHelpA(m_hWnd, settings::HelpFilePath().c_str(), settings::kHelpDisplayTopic, 0);
}

void CMainDlg::OnFeedback() {
  win::OpenWithShell(m_hWnd, win::LoadStr(IDS_MAIL_SUPPORT) + win::LoadStr(IDS_MAIL_SUBJECT) +
                                 win::LoadStr(IDS_PRODUCT_VERSION));
}

void CMainDlg::OnAbout() {
  RunTrayDialog([this] {
    CAboutDlg about;
    return about.DoModal(m_hWnd);
  });
}

void CMainDlg::PrepareMenu(HMENU menu) {
  const CConfig& config = m_core.config;
  auto check = [menu](UINT id, bool on) { CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED)); };
  check(ID_SHORTHAND_AUTOEXPAND, config.bEnableShorthand != 0);
  check(ID_WORD_AUTOCOMPLETE, config.bEnableWord != 0);
  check(ID_PHRASE_AUTOCOMPLETE, config.bEnablePhrase != 0);
  check(ID_ENABLE_AUTOLEARN, config.bEnableAutolearn != 0);

  std::string text = win::LoadStr(m_bHookOn ? IDS_DISABLE : IDS_ENABLE);
  text += '\t';
  text += HotkeyText(LOWORD(config.dwEnableHoam), HIWORD(config.dwEnableHoam));
  DeleteMenu(menu, ID_ENABLE, MF_BYCOMMAND);
  InsertMenuA(menu, 0, MF_BYPOSITION | MF_STRING, ID_ENABLE, text.c_str());
}

// ---- EngineHost ------------------------------------------------------------------

void CMainDlg::PostToSelf(unsigned message) { PostMessageA(m_hWnd, message, 0, 0); }

void CMainDlg::SetTimer(int id, unsigned milliseconds) {
  ::SetTimer(m_hWnd, static_cast<UINT_PTR>(id), milliseconds, nullptr);
}

void CMainDlg::KillTimer(int id) { ::KillTimer(m_hWnd, static_cast<UINT_PTR>(id)); }

void CMainDlg::Beep() { MessageBeep(0xFFFFFFFF); }

engine::WindowHandle CMainDlg::MainWindow() const { return FromHwnd(m_hWnd); }

// Often in the middle of a hook key: the tip is changed once that is answered.
void CMainDlg::ReasonChanged() { PostMessageA(m_hWnd, WM_REASON_CHANGED, 0, 0); }

// The tray's tip says why there is a prompt or none in the focus window.
// Windows keeps the keys typed into a window of a higher integrity level (a
// program run as administrator) from our hook: the first time, a balloon
// tells the user more.
void CMainDlg::UpdateTip() {
  const engine::PromptReason& reason = m_engine->Reason();
  if (reason.code == engine::PromptReason::Code::kHigherRights && !m_bHigherRightsTold) {
    m_bHigherRightsTold = true;
    m_tray.ShowBalloon(win::LoadStr(IDS_HIGHER_RIGHTS_TITLE), win::LoadStr(IDS_HIGHER_RIGHTS_TEXT));
  }
  const ULONGLONG now = GetTickCount64();
  if (now - m_tipShownAt < kTipInterval) {
    ::SetTimer(m_hWnd, kTipTimer, static_cast<UINT>(kTipInterval - (now - m_tipShownAt)), nullptr);
    return;
  }
  const std::string tip = win::LoadStr(IDS_TRAY_TIP_PREFIX) + reason.Text(win::LoadStr(reason.StringId()));
  if (tip == m_strTip) return;
  m_strTip = tip;
  m_tipShownAt = now;
  m_tray.SetTooltipText(tip);
}

// Where the application moved its caret without telling (Wine sends no caret
// events at all), the caret that the system keeps for the focused window's
// thread is handed to the tracker as the event that did not come. Where the
// events do come, this repeats what they said.
void CMainDlg::OnCaretCheck() {
  const engine::WindowHandle focus = m_caret.focusWindow;
  output::ScreenRect caret;
  if (!focus || !m_caretDesktop.GuiThreadCaret(focus, caret)) {
    m_engine->RepositionPrompt();
    return;
  }
  if (m_caret.caretWindow == focus && m_caret.caretLeft == caret.left && m_caret.caretTop == caret.top &&
      m_caret.caretRight == caret.right && m_caret.caretBottom == caret.bottom)
    return;  // nothing moved
  output::AccessibleEvent moved;
  moved.event = output::kEventObjectLocationChange;
  moved.window = focus;
  moved.objectId = output::kObjIdCaret;
  moved.locationOk = true;
  moved.left = caret.left;
  moved.top = caret.top;
  moved.width = caret.right - caret.left;
  moved.height = caret.bottom - caret.top;
  m_caret.OnAccessibleEvent(moved);  // calls RepositionPrompt
}

// ---- CaretInfo and CaretOwner -------------------------------------------------------

engine::WindowHandle CMainDlg::FocusWindow() const { return m_caret.focusWindow; }

bool CMainDlg::IsTypingWindow() { return m_caret.IsTypingWindow(); }

engine::PromptReason::Code CMainDlg::NotTypingReason() const {
  switch (m_caret.refusal) {
    case output::CaretTracker::Refusal::kNoFocus: return engine::PromptReason::Code::kNoWindow;
    case output::CaretTracker::Refusal::kPassword: return engine::PromptReason::Code::kPassword;
    case output::CaretTracker::Refusal::kEditBoxRule: return engine::PromptReason::Code::kEditBox;
    default: return engine::PromptReason::Code::kNoCaret;
  }
}

engine::Point CMainDlg::GetCaretPoint() {
  output::ScreenPoint p = m_caret.GetCaretPoint();
  return engine::Point{p.x, p.y};
}

void CMainDlg::RepositionPrompt() { m_engine->RepositionPrompt(); }

void CMainDlg::OnFocusLeft(engine::WindowHandle window) { m_engine->OnFocusLeft(window); }

// The rules' decision for the window's application is made here, outside
// the keyboard hook: finding a window's executable can take long, and the
// hook asks for the decision with every key.
void CMainDlg::OnFocusEntered(engine::WindowHandle window) {
  if (window) m_core.config.IsWorkOnWindow(window);
  m_engine->OnFocusEntered(window);
}

// ---- EngineDesktop ---------------------------------------------------------------

engine::WindowHandle CMainDlg::ForegroundWindow() const { return FromHwnd(GetForegroundWindow()); }

void CMainDlg::SetForegroundWindow(engine::WindowHandle window) { ::SetForegroundWindow(ToHwnd(window)); }

bool CMainDlg::IsWindowValid(engine::WindowHandle window) const { return window && IsWindow(ToHwnd(window)); }

engine::WindowHandle CMainDlg::WindowParent(engine::WindowHandle window) const {
  return window ? FromHwnd(GetParent(ToHwnd(window))) : 0;
}

bool CMainDlg::RunsWithHigherRights(engine::WindowHandle window) const {
  return window && RunsAboveUs(ToHwnd(window));
}

// Input-method layouts are the ones whose handle has 0xE in its top nibble;
// only they have a description on Windows. Wine describes its X input
// method as the IME of every layout, which without the handle test would
// keep the prompt hidden for good.
bool CMainDlg::ForegroundHasIme() const {
  DWORD thread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
  HKL layout = GetKeyboardLayout(thread);
  if ((reinterpret_cast<UINT_PTR>(layout) & 0xF0000000u) != 0xE0000000u) return false;
  char name[256];
  return ImmGetDescriptionA(layout, name, sizeof name) > 0;
}

bool CMainDlg::ListFolder(const std::string& pattern, std::vector<engine::FolderEntry>& entries) {
  entries.clear();
  struct CloseSearch {
    void operator()(HANDLE h) const { FindClose(h); }
  };
  WIN32_FIND_DATAA found;
  win::Owned<HANDLE, CloseSearch> search(FindFirstFileA(pattern.c_str(), &found));
  if (search.get() == INVALID_HANDLE_VALUE) {
    search.release();
    return false;
  }
  do {
    entries.push_back(engine::FolderEntry{found.cFileName, found.dwFileAttributes});
  } while (FindNextFileA(search.get(), &found));
  return true;
}

// ---- CompletionOutput --------------------------------------------------------------

void CMainDlg::Backspaces(int count) {
  for (int i = 0; i < count; ++i) output::SendKeystroke(0, output::kVkBack);
}

void CMainDlg::TypeMacroText(const std::string& text, engine::WindowHandle target) {
  output::MacroTyper typer;
  typer.SetClipboardKeeper(&m_clipboardKeeper);
  typer.Parse(text);
  typer.TypeOut(target);
  if (m_clipboardKeeper.RestorePending())
    ::SetTimer(m_hWnd, output::ClipboardKeeper::kRestoreTimer, output::ClipboardKeeper::kTickMs, nullptr);
}
