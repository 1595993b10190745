#include "settings/OptionsDlg.h"

#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "platform/Keyboard.h"
#include "res/Resource.h"
#include "settings/HelpEngine.h"
#include "settings/ProgressWnd.h"
#include "win/Controls.h"
#include "win/Resources.h"

namespace {

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
void Check(HWND dialog, int id, bool on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }

void SetSpin(HWND dialog, int spin, int low, int high, int position) {
  SendDlgItemMessageA(dialog, spin, UDM_SETRANGE32, static_cast<WPARAM>(low), static_cast<LPARAM>(high));
  SendDlgItemMessageA(dialog, spin, UDM_SETPOS32, 0, static_cast<LPARAM>(position));
}

// The value the per-user Run key holds for us: our full path in quotes.
std::string RunCommand() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string("\"") + path + "\"";
}

constexpr const char* kRunValue = "Quillet";
// Where the Options dialog records how long the learned-word list took to
// fill and to save (read by the smoke test).
constexpr char kFillTiming[] = "QuilletFillUs";
constexpr char kSaveTiming[] = "QuilletSaveUs";

}  // namespace

bool IsRunAtStartup() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, win::LoadStr(IDS_RUN_KEY).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  DWORD type = 0;
  const bool present = RegQueryValueExA(key, kRunValue, nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS;
  RegCloseKey(key);
  return present;
}

bool SetRunAtStartup(bool on) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, win::LoadStr(IDS_RUN_KEY).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS)
    return false;
  LONG status;
  if (on) {
    const std::string command = RunCommand();
    status = RegSetValueExA(key, kRunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                            static_cast<DWORD>(command.size() + 1));
  } else {
    status = RegDeleteValueA(key, kRunValue);
    if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
  }
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

// ---- Hotkeys -------------------------------------------------------------------

CDlgOptionHotkey::CDlgOptionHotkey(CConfig& config) : win::CDialog(IDD_OPTION_HOTKEY), m_config(config) {
  OnCommandId(IDC_HOT_ARROWS, [this] { m_model.UseArrowKeys(); });
  OnCommandId(IDC_HOT_BRACKETS, [this] { m_model.UseBracketKeys(platform::SystemKeyboard()); });
  OnCommandId(IDC_HOT_PAGES, [this] { m_model.UsePageKeys(); });
  OnCommandId(IDC_HOT_MINUS_PLUS, [this] { m_model.UseMinusPlusKeys(platform::SystemKeyboard()); });
  OnCommandId(IDC_HOT_DIGITS, [this] { m_model.UseDigitIndexKeys(); });
  OnCommandId(IDC_HOT_FKEYS, [this] { m_model.UseFunctionIndexKeys(); });
  // LBN_SELCHANGE arrives with code 1, as an accelerator's would.
  OnCommandId(IDC_HOT_ACCEPT, [this] { OnAcceptListChanged(); });
  OnCommandId(IDC_HOT_OTHER, [this] {
    const LRESULT row = SendDlgItemMessageA(m_hWnd, IDC_HOT_OTHER, LB_GETCURSEL, 0, 0);
    if (row == LB_ERR) return;
    const auto value = static_cast<DWORD>(SendDlgItemMessageA(m_hWnd, IDC_HOT_OTHER, LB_GETITEMDATA, row, 0));
    m_showing = true;
    SendDlgItemMessageA(m_hWnd, IDC_HOT_HOTKEY, HKM_SETHOTKEY, MAKEWORD(LOBYTE(value), LOBYTE(HIWORD(value))), 0);
    m_showing = false;
  });
}

BOOL CDlgOptionHotkey::OnInitDialog() {
  m_config.LoadHotKeys();
  m_model.Load(m_config);
  for (const auto& key : config::CHotkeyPageModel::AcceptList()) {
    const LRESULT row = SendDlgItemMessageA(m_hWnd, IDC_HOT_ACCEPT, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(key.text));
    SendDlgItemMessageA(m_hWnd, IDC_HOT_ACCEPT, LB_SETITEMDATA, row, key.vk);
  }
  const std::string toggle = win::LoadStr(IDS_HOTKEY_TOGGLE);
  const LRESULT row = SendDlgItemMessageA(m_hWnd, IDC_HOT_OTHER, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(toggle.c_str()));
  SendDlgItemMessageA(m_hWnd, IDC_HOT_OTHER, LB_SETITEMDATA, row, m_model.dwEnableHoam);
  SendDlgItemMessageA(m_hWnd, IDC_HOT_OTHER, LB_SETCURSEL, row, 0);
  SetDlgItemTextA(m_hWnd, IDC_HOT_CLOSE_KEY, "Esc");
  ShowFields();
  m_model.changed = false;
  return FALSE;
}

void CDlgOptionHotkey::ShowFields() {
  m_showing = true;
  CheckRadioButton(m_hWnd, IDC_HOT_ARROWS, IDC_HOT_BRACKETS, m_model.ArrowKeys() ? IDC_HOT_ARROWS : IDC_HOT_BRACKETS);
  CheckRadioButton(m_hWnd, IDC_HOT_PAGES, IDC_HOT_MINUS_PLUS, m_model.PageKeys() ? IDC_HOT_PAGES : IDC_HOT_MINUS_PLUS);
  Check(m_hWnd, IDC_HOT_DIGITS, m_model.DigitIndexKeys());
  Check(m_hWnd, IDC_HOT_FKEYS, !m_model.DigitIndexKeys());
  // The control sorts as the model does; the rows are matched by their keys.
  const auto& list = config::CHotkeyPageModel::AcceptList();
  const std::vector<bool> selected = m_model.AcceptSelection();
  const LRESULT rows = SendDlgItemMessageA(m_hWnd, IDC_HOT_ACCEPT, LB_GETCOUNT, 0, 0);
  for (LRESULT row = 0; row < rows; ++row) {
    const auto key = static_cast<std::uint8_t>(SendDlgItemMessageA(m_hWnd, IDC_HOT_ACCEPT, LB_GETITEMDATA, row, 0));
    bool on = false;
    for (std::size_t i = 0; i < list.size(); ++i) on = on || (list[i].vk == key && selected[i]);
    SendDlgItemMessageA(m_hWnd, IDC_HOT_ACCEPT, LB_SETSEL, on ? TRUE : FALSE, row);
  }
  const DWORD value = m_model.dwEnableHoam;
  SendDlgItemMessageA(m_hWnd, IDC_HOT_HOTKEY, HKM_SETHOTKEY, MAKEWORD(LOBYTE(value), LOBYTE(HIWORD(value))), 0);
  m_showing = false;
}

void CDlgOptionHotkey::OnAcceptListChanged() {
  const auto& list = config::CHotkeyPageModel::AcceptList();
  std::vector<bool> selected(list.size(), false);
  const LRESULT rows = SendDlgItemMessageA(m_hWnd, IDC_HOT_ACCEPT, LB_GETCOUNT, 0, 0);
  for (LRESULT row = 0; row < rows; ++row) {
    if (SendDlgItemMessageA(m_hWnd, IDC_HOT_ACCEPT, LB_GETSEL, row, 0) <= 0) continue;
    const auto key = static_cast<std::uint8_t>(SendDlgItemMessageA(m_hWnd, IDC_HOT_ACCEPT, LB_GETITEMDATA, row, 0));
    for (std::size_t i = 0; i < list.size(); ++i) selected[i] = selected[i] || list[i].vk == key;
  }
  m_model.SetAcceptSelection(selected);
  m_model.changed = true;
}

bool CDlgOptionHotkey::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT&) {
  if (message != WM_COMMAND || LOWORD(wParam) != IDC_HOT_HOTKEY || HIWORD(wParam) != EN_CHANGE || m_showing)
    return false;
  const LRESULT row = SendDlgItemMessageA(m_hWnd, IDC_HOT_OTHER, LB_GETCURSEL, 0, 0);
  if (row == LB_ERR) return false;
  const auto hotkey = static_cast<WORD>(SendDlgItemMessageA(m_hWnd, IDC_HOT_HOTKEY, HKM_GETHOTKEY, 0, 0));
  const DWORD value = static_cast<DWORD>(HIBYTE(hotkey)) << 16 | LOBYTE(hotkey);
  SendDlgItemMessageA(m_hWnd, IDC_HOT_OTHER, LB_SETITEMDATA, row, value);
  m_model.SetToggleHotkey(value);
  return true;
}

void CDlgOptionHotkey::Save() {
  m_model.Store(m_config);
  m_config.SaveHotKeys();
}

// ---- Others --------------------------------------------------------------------

CDlgOptionOthers::CDlgOptionOthers(CConfig& config) : win::CDialog(IDD_OPTION_OTHERS), m_config(config) {
  OnCommandId(IDC_OTH_WORD, [this] { m_model.SetCheck(m_model.bEnableWord, Checked(m_hWnd, IDC_OTH_WORD)); });
  OnCommandId(IDC_OTH_PHRASE, [this] { m_model.SetCheck(m_model.bEnablePhrase, Checked(m_hWnd, IDC_OTH_PHRASE)); });
  OnCommandId(IDC_OTH_SHORTHAND,
              [this] { m_model.SetCheck(m_model.bEnableShorthand, Checked(m_hWnd, IDC_OTH_SHORTHAND)); });
  OnCommandId(IDC_OTH_STARTUP, [this] { m_model.SetCheck(m_model.bRunAtStartup, Checked(m_hWnd, IDC_OTH_STARTUP)); });
  OnCommandId(IDC_OTH_COMMON_FIRST,
              [this] { m_model.SetCheck(m_model.bCommonFirst, Checked(m_hWnd, IDC_OTH_COMMON_FIRST)); });
  OnCommandId(IDC_OTH_FIX_TYPOS, [this] { m_model.SetCheck(m_model.bFixTypos, Checked(m_hWnd, IDC_OTH_FIX_TYPOS)); });
}

namespace {

// A number outside its range: the message names the range, and the edit
// gets the focus with its text selected.
void RefuseNumber(HWND page, int editId, int low, int high) {
  char text[256];
  std::snprintf(text, sizeof text, win::LoadStr(IDS_INTEGER_RANGE).c_str(), low, high);
  win::MessageBoxText(GetParent(page), text, MB_OK | MB_ICONEXCLAMATION);
  HWND edit = GetDlgItem(page, editId);
  SetFocus(edit);
  SendMessageA(edit, EM_SETSEL, 0, -1);
}

constexpr int kNumberEdits[] = {IDC_OTH_MIN_INPUT, IDC_OTH_MIN_WORD, IDC_OTH_MAX_WORD, IDC_OTH_ROWS};
constexpr int kNumberSpins[] = {IDC_OTH_MIN_INPUT_SPIN, IDC_OTH_MIN_WORD_SPIN, IDC_OTH_MAX_WORD_SPIN,
                                IDC_OTH_ROWS_SPIN};

}  // namespace

BOOL CDlgOptionOthers::OnInitDialog() {
  m_config.LoadOthers();
  m_model.Load(m_config);
  // The check box shows what the Run key holds, not a remembered wish.
  m_model.bRunAtStartup = IsRunAtStartup() ? 1 : 0;
  Check(m_hWnd, IDC_OTH_WORD, m_model.bEnableWord != 0);
  Check(m_hWnd, IDC_OTH_PHRASE, m_model.bEnablePhrase != 0);
  Check(m_hWnd, IDC_OTH_SHORTHAND, m_model.bEnableShorthand != 0);
  Check(m_hWnd, IDC_OTH_STARTUP, m_model.bRunAtStartup != 0);
  SetDlgItemTextA(m_hWnd, IDC_OTH_COMMON_FIRST, win::LoadStr(IDS_OTH_COMMON_FIRST).c_str());
  Check(m_hWnd, IDC_OTH_COMMON_FIRST, m_model.bCommonFirst != 0);
  SetDlgItemTextA(m_hWnd, IDC_OTH_FIX_TYPOS, win::LoadStr(IDS_OTH_FIX_TYPOS).c_str());
  Check(m_hWnd, IDC_OTH_FIX_TYPOS, m_model.bFixTypos != 0);
  for (int i = 0; i < config::COthersPageModel::kNumberCount; ++i) {
    const auto range = config::COthersPageModel::RangeOf(static_cast<config::COthersPageModel::Number>(i));
    SetSpin(m_hWnd, kNumberSpins[i], range.low, range.high, m_model.numbers[i]);
    SetDlgItemInt(m_hWnd, kNumberEdits[i], static_cast<UINT>(m_model.numbers[i]), TRUE);
  }
  m_model.changed = false;
  return FALSE;
}

bool CDlgOptionOthers::Save() {
  std::string texts[config::COthersPageModel::kNumberCount];
  for (int i = 0; i < config::COthersPageModel::kNumberCount; ++i) texts[i] = win::ItemText(m_hWnd, kNumberEdits[i]);
  if (const auto refused = m_model.Take(texts)) {
    const auto range = config::COthersPageModel::RangeOf(*refused);
    RefuseNumber(m_hWnd, kNumberEdits[*refused], range.low, range.high);
    return false;
  }
  m_model.Store(m_config);
  m_config.SaveOthers();
  if ((m_model.bRunAtStartup != 0) != IsRunAtStartup()) SetRunAtStartup(m_model.bRunAtStartup != 0);
  return true;
}

// ---- AutoLearn -------------------------------------------------------------------

CDlgAutoLearn::CDlgAutoLearn(CConfig& config, CAutoLearn* engine)
    : win::CDialog(IDD_AUTOLEARN), m_config(config), m_engine(engine), m_model(engine) {
  OnCommandId(IDC_AL_ENABLE, [this] { m_model.optionsChanged = true; });
  OnCommandId(IDC_AL_LEARN_KNOWN, [this] { m_model.optionsChanged = true; });
  OnCommandId(IDC_AL_RESET, [this] {
    m_separators = CConfig::kDefaultSeparators;
    SetDlgItemTextA(m_hWnd, IDC_AL_SEPARATORS, m_separators.c_str());
    m_model.optionsChanged = true;
  });
  OnCommandId(IDC_AL_ADD, [this] { OnAdd(); });
  OnCommandId(IDC_AL_DELETE, [this] { OnDeleteSelected(); });
  OnCommandId(IDC_AL_DELETE_ALL, [this] { OnDeleteAll(); });
  OnCommandId(IDC_AL_SAVE, [this] { OnSaveList(); });
  OnCommandId(IDC_AL_IMPORT, [this] { OnImport(); });
  OnCommandId(IDC_AL_EXPORT, [this] { OnExport(); });
}

BOOL CDlgAutoLearn::OnInitDialog() {
  m_config.LoadAutoLearn();
  const int minLength = m_engine ? m_engine->nMinLength : m_config.nMinLearnLength;
  m_separators = m_config.strSeparate;
  Check(m_hWnd, IDC_AL_ENABLE, m_config.bEnableAutolearn != 0);
  SetDlgItemTextA(m_hWnd, IDC_AL_LEARN_KNOWN, win::LoadStr(IDS_AL_LEARN_KNOWN).c_str());
  Check(m_hWnd, IDC_AL_LEARN_KNOWN, m_config.bLearnKnownWords != 0);
  SendDlgItemMessageA(m_hWnd, IDC_AL_MIN_LENGTH_SPIN, UDM_SETRANGE32, 1, 500);
  SetDlgItemInt(m_hWnd, IDC_AL_MIN_LENGTH, static_cast<UINT>(minLength), TRUE);
  SetDlgItemTextA(m_hWnd, IDC_AL_SEPARATORS, m_separators.c_str());

  HWND list = List();
  ListView_SetExtendedListViewStyle(list, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
  const std::string words = win::LoadStr(IDS_AL_COLUMN_WORDS);
  const std::string times = win::LoadStr(IDS_AL_COLUMN_TIMES);
  LVCOLUMNA column = {};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  column.fmt = LVCFMT_CENTER;
  column.cx = 150;
  column.pszText = const_cast<char*>(words.c_str());
  ListView_InsertColumn(list, 0, &column);
  // Wide enough for its caption in the fonts Wine substitutes, too.
  column.cx = 80;
  column.pszText = const_cast<char*>(times.c_str());
  ListView_InsertColumn(list, 1, &column);
  m_images.reset(ImageList_LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_PROMPT_IMAGES), 16, 0,
                                      RGB(255, 0, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION));
  if (m_images) ListView_SetImageList(list, m_images.get(), LVSIL_SMALL);
  m_model.optionsChanged = false;
  m_model.listChanged = false;
  m_ready = true;
  return FALSE;
}

void CDlgAutoLearn::FillList() {
  if (m_model.listLoaded() || !m_engine) return;
  win::ScopedTiming timing(GetParent(m_hWnd), kFillTiming);
  ProgressWnd progress(m_config.ConfigIniPath());
  if (progress.Create(m_hWnd, win::LoadStr(IDS_CAPTION))) {
    progress.SetText(win::LoadStr(IDS_AL_LOADING));
    progress.SetRange(0, m_engine->GetRecordCount(), 1);
  }
  // The window is brought up to date every few hundred words: drawing it
  // for every one would cost more than the filling.
  m_model.FillList([&](std::int32_t done, std::int32_t) { return progress.KeepGoing(done); });
  ShowRows();
}

void CDlgAutoLearn::ShowRows() {
  HWND list = List();
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemCountEx(list, static_cast<int>(m_model.Rows().size()), 0);
  InvalidateRect(list, nullptr, TRUE);
}

void CDlgAutoLearn::OnAdd() {
  if (!m_engine) return;
  m_model.AddRow();
  ShowRows();
  HWND list = List();
  SetFocus(list);
  ListView_EditLabel(list, 0);
}

void CDlgAutoLearn::OnDeleteSelected() {
  if (!m_engine) return;
  if (win::MessageBoxRes(m_hWnd, IDS_DELETE_ITEMS, MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
  std::vector<std::size_t> rows;
  HWND list = List();
  for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row >= 0;
       row = ListView_GetNextItem(list, row, LVNI_SELECTED))
    rows.push_back(static_cast<std::size_t>(row));
  m_model.DeleteRows(rows);
  ShowRows();
}

void CDlgAutoLearn::OnDeleteAll() {
  if (!m_engine) return;
  if (win::MessageBoxRes(m_hWnd, IDS_DELETE_ALL_ITEMS, MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
  m_model.DeleteAllRows();
  ShowRows();
}

void CDlgAutoLearn::OnSaveList() {
  if (!m_engine) return;
  win::ScopedTiming timing(GetParent(m_hWnd), kSaveTiming);
  if (!m_model.SaveList()) win::MessageBoxRes(m_hWnd, IDS_AL_SAVE_FAILED, MB_OK | MB_ICONERROR, win::Caption::Error);
}


// Import and export run with the wait window, which says how far they are
// and (for an import) has the Cancel button; the Options dialog is disabled
// meanwhile. The closing message says how many words went through.
void CDlgAutoLearn::OnImport() {
  if (!m_engine) return;
  const std::string path = win::AskTextFile(m_hWnd, false);
  if (path.empty()) return;
  std::int32_t count = 0;
  const bool ok = RunWaiting(IDS_IMPORTING, [&] { return m_model.Import(path, &m_waiting, &count); });
  ShowRows();
  if (!ok) win::MessageBoxText(m_hWnd, win::LoadStr(IDS_UNABLE_TO_OPEN) + path, MB_OK | MB_ICONERROR, win::Caption::Error);
  else win::MessageBoxText(m_hWnd, CountMessage(IDS_IMPORTED, count), MB_OK | MB_ICONINFORMATION);
}

void CDlgAutoLearn::OnExport() {
  if (!m_engine) return;
  const std::string path = win::AskTextFile(m_hWnd, true);
  if (path.empty()) return;
  std::int32_t count = 0;
  const bool ok = RunWaiting(IDS_EXPORTING, [&] { return m_engine->Export(path, &m_waiting, &count); });
  if (!ok) win::MessageBoxText(m_hWnd, win::LoadStr(IDS_UNABLE_TO_OPEN) + path, MB_OK | MB_ICONERROR, win::Caption::Error);
  else win::MessageBoxText(m_hWnd, CountMessage(IDS_EXPORTED, count), MB_OK | MB_ICONINFORMATION);
}

bool CDlgAutoLearn::RunWaiting(UINT textId, const std::function<bool()>& run) {
  HWND owner = GetAncestor(m_hWnd, GA_ROOT);
  if (!m_waiting.Handle()) m_waiting.Create(owner);
  m_waiting.Begin(win::LoadStr(textId));
  EnableWindow(owner, FALSE);
  const bool ok = run();
  EnableWindow(owner, TRUE);
  m_waiting.End();
  return ok;
}

std::string CDlgAutoLearn::CountMessage(UINT textId, std::int32_t count) {
  char text[256];
  std::snprintf(text, sizeof text, win::LoadStr(textId).c_str(), static_cast<int>(count));
  return text;
}

// The separators may never be empty: the edit gets its last text back.
void CDlgAutoLearn::OnSeparatorsDone() {
  const std::string text = win::ItemText(m_hWnd, IDC_AL_SEPARATORS);
  if (text.empty()) {
    win::MessageBoxRes(m_hWnd, IDS_SEPARATORS_EMPTY, MB_OK | MB_ICONERROR, win::Caption::Error);
    SetDlgItemTextA(m_hWnd, IDC_AL_SEPARATORS, m_separators.c_str());
    SetFocus(Item(IDC_AL_SEPARATORS));
    return;
  }
  if (text != m_separators) m_model.optionsChanged = true;
  m_separators = text;
}

bool CDlgAutoLearn::OnNotify(const NMHDR& header, LRESULT& result) {
  if (header.idFrom != IDC_AL_LIST) return false;
  switch (header.code) {
    case LVN_GETDISPINFOA: {
      auto& info = reinterpret_cast<NMLVDISPINFOA&>(const_cast<NMHDR&>(header));
      const auto row = static_cast<std::size_t>(info.item.iItem);
      if (row >= m_model.Rows().size()) return false;
      if (info.item.mask & LVIF_TEXT) {
        const std::string& text = info.item.iSubItem == 0 ? m_model.Rows()[row].word : m_model.Rows()[row].count;
        lstrcpynA(info.item.pszText, text.c_str(), info.item.cchTextMax);
      }
      if (info.item.mask & LVIF_IMAGE) info.item.iImage = 4;
      return true;
    }
    case LVN_BEGINLABELEDITA:
      result = m_engine ? FALSE : TRUE;
      return true;
    case LVN_ENDLABELEDITA: {
      const auto& info = reinterpret_cast<const NMLVDISPINFOA&>(header);
      m_model.EndLabelEdit(static_cast<std::size_t>(info.item.iItem), info.item.pszText);
      ShowRows();
      result = FALSE;
      return true;
    }
    default:
      return false;
  }
}

bool CDlgAutoLearn::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message == WM_NOTIFY) return OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result);
  if (message == WM_COMMAND && m_ready) {
    if (LOWORD(wParam) == IDC_AL_SEPARATORS && HIWORD(wParam) == EN_KILLFOCUS) {
      OnSeparatorsDone();
      return true;
    }
    if (LOWORD(wParam) == IDC_AL_MIN_LENGTH && HIWORD(wParam) == EN_CHANGE) {
      m_model.optionsChanged = true;
      return true;
    }
  }
  return false;
}

bool CDlgAutoLearn::Save() {
  if (!m_model.TakeMinLength(win::ItemText(m_hWnd, IDC_AL_MIN_LENGTH))) {
    RefuseNumber(m_hWnd, IDC_AL_MIN_LENGTH, CAutoLearnPageModel::kMinLengthLow, CAutoLearnPageModel::kMinLengthHigh);
    return false;
  }
  std::string separators = win::ItemText(m_hWnd, IDC_AL_SEPARATORS);
  if (separators.empty()) separators = m_separators;
  m_config.bEnableAutolearn = Checked(m_hWnd, IDC_AL_ENABLE) ? 1 : 0;
  m_config.bLearnKnownWords = Checked(m_hWnd, IDC_AL_LEARN_KNOWN) ? 1 : 0;
  m_config.nMinLearnLength = m_model.minLength;
  m_config.strSeparate = separators;
  m_config.SaveAutoLearn();
  // An unchanged list is already what the file holds.
  if (m_model.listChanged) m_model.SaveList();
  if (m_engine) {
    m_engine->bEnable = m_config.bEnableAutolearn != 0;
    m_engine->bLearnKnown = m_config.bLearnKnownWords != 0;
    m_engine->nMinLength = m_config.nMinLearnLength;
    m_engine->SetSeparators(m_config.strSeparate);
  }
  return true;
}

// ---- The Options dialog -----------------------------------------------------------

COptionsDlg::COptionsDlg(CConfig& config, CAutoLearn* engine)
    : win::CDialog(IDD_OPTIONS), startPage(win::LoadStr(IDS_PAGE_HOTKEYS)), m_hotkeys(config),
      m_autoLearn(config, engine), m_others(config) {
  OnCommandId(IDC_OPT_HELP, [this] { settings::ShowHelpKeyword(m_hWnd, "Options"); });
}

COptionsDlg::~COptionsDlg() = default;

BOOL COptionsDlg::OnInitDialog() {
  win::SetDialogIcons(m_hWnd, m_icon, m_smallIcon);

  m_others.Create(m_hWnd);
  m_hotkeys.Create(m_hWnd);
  m_autoLearn.Create(m_hWnd);

  // The pages share the rectangle right of the tree, under the caption line.
  RECT line, tree;
  GetWindowRect(Item(IDC_OPT_LINE_TOP), &line);
  GetWindowRect(Item(IDC_OPT_TREE), &tree);
  MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&line), 2);
  MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&tree), 2);
  for (HWND page : {m_others.Handle(), m_hotkeys.Handle(), m_autoLearn.Handle()}) {
    if (page)
      SetWindowPos(page, HWND_TOP, line.left, line.bottom, line.right - line.left, tree.bottom - line.bottom,
                   SWP_NOACTIVATE);
  }

  HWND treeControl = Item(IDC_OPT_TREE);
  const config::OptionsPage first =
      config::StartPageFor(startPage, win::LoadStr(IDS_PAGE_AUTOLEARN), win::LoadStr(IDS_PAGE_OTHERS));
  HTREEITEM chosen = nullptr;
  for (auto [page, text] : {std::pair{config::OptionsPage::kHotkeys, IDS_PAGE_HOTKEYS},
                            std::pair{config::OptionsPage::kAutoLearn, IDS_PAGE_AUTOLEARN},
                            std::pair{config::OptionsPage::kOthers, IDS_PAGE_OTHERS}}) {
    const std::string label = win::LoadStr(text);
    TVINSERTSTRUCTA insert = {};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(label.c_str());
    insert.item.lParam = static_cast<LPARAM>(page);
    HTREEITEM item = reinterpret_cast<HTREEITEM>(
        SendMessageA(treeControl, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    if (page == first) chosen = item;
  }
  ShowPage(first);
  TreeView_SelectItem(treeControl, chosen);
  SetFocus(treeControl);
  return FALSE;
}

void COptionsDlg::ShowPage(config::OptionsPage page) {
  if (page == config::OptionsPage::kAutoLearn) m_autoLearn.FillList();
  ShowWindow(m_hotkeys.Handle(), page == config::OptionsPage::kHotkeys ? SW_SHOW : SW_HIDE);
  ShowWindow(m_autoLearn.Handle(), page == config::OptionsPage::kAutoLearn ? SW_SHOW : SW_HIDE);
  ShowWindow(m_others.Handle(), page == config::OptionsPage::kOthers ? SW_SHOW : SW_HIDE);
  const UINT caption = page == config::OptionsPage::kAutoLearn ? IDS_PAGE_AUTOLEARN
                       : page == config::OptionsPage::kOthers  ? IDS_PAGE_OTHERS
                                                               : IDS_PAGE_HOTKEYS;
  SetDlgItemTextA(m_hWnd, IDC_OPT_CAPTION, win::LoadStr(caption).c_str());
}

bool COptionsDlg::OnMessage(UINT message, WPARAM, LPARAM lParam, LRESULT&) {
  if (message == WM_DESTROY) {
    win::ScopedTiming::Forget(m_hWnd, kFillTiming);
    win::ScopedTiming::Forget(m_hWnd, kSaveTiming);
  }
  if (message != WM_NOTIFY) return false;
  const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
  if (header.idFrom != IDC_OPT_TREE || header.code != TVN_SELCHANGEDA) return false;
  const auto& change = reinterpret_cast<const NMTREEVIEWA&>(header);
  ShowPage(static_cast<config::OptionsPage>(change.itemNew.lParam));
  return true;
}

bool COptionsDlg::SavePages() {
  m_hotkeys.Save();
  if (!m_others.Save()) return false;
  return m_autoLearn.Save();
}

void COptionsDlg::OnOK() {
  if (SavePages()) EndDialog(IDOK);
}

// Answered Yes, the options are saved as by OK; the dialog then ends with OK
// too, so that the program takes them into use at once rather than at the
// next start.
void COptionsDlg::OnCancel() {
  if (!m_hotkeys.changed() && !m_others.changed() && !m_autoLearn.changed()) return EndDialog(IDCANCEL);
  if (win::MessageBoxRes(m_hWnd, IDS_OPTIONS_CHANGED, MB_YESNO | MB_ICONQUESTION) != IDYES) return EndDialog(IDCANCEL);
  if (SavePages()) EndDialog(IDOK);
}
