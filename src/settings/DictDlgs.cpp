#include "settings/DictDlgs.h"

#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "dict/ImportExport.h"
#include "res/Resource.h"
#include "settings/ProgressWnd.h"
#include "win/Controls.h"
#include "win/Resources.h"

namespace {

std::string Format(UINT id, int value) {
  char text[512];
  std::snprintf(text, sizeof text, win::LoadStr(id).c_str(), value);
  return text;
}

// Where the editor records how long its listing took (read by the smoke test).
constexpr char kQueryTiming[] = "QuilletQueryUs";

void FillTypeList(HWND combo, std::int32_t select) {
  for (auto [text, value] : {std::pair{"Shorthand ", DICT_TYPE_SHORTHAND}, std::pair{"Dictionary ", DICT_TYPE_WORDS}}) {
    const LRESULT row = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendMessageA(combo, CB_SETITEMDATA, row, value);
  }
  const LRESULT rows = SendMessageA(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT row = 0; row < rows; ++row) {
    if (SendMessageA(combo, CB_GETITEMDATA, row, 0) == select) SendMessageA(combo, CB_SETCURSEL, row, 0);
  }
}

}  // namespace

std::string UserFilePath(UINT stringId) {
  std::string folder = win::ExeFolder();
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return folder + win::LoadStr(stringId);
}

// ---- Wait window ------------------------------------------------------------------

CDlgWaiting::CDlgWaiting() : win::CDialog(IDD_DICT_WAITING) {
  OnCommandId(IDC_WAIT_CANCEL, [this] { m_cancelled = true; });
}

void CDlgWaiting::Begin(const std::string& text) {
  m_cancelled = false;
  SetText(text);
  if (m_hWnd) ShowWindow(m_hWnd, SW_SHOW);
}

void CDlgWaiting::End() {
  if (m_hWnd) ShowWindow(m_hWnd, SW_HIDE);
}

void CDlgWaiting::SetText(const std::string& text) {
  if (m_hWnd) SetDlgItemTextA(m_hWnd, IDC_WAIT_TEXT, text.c_str());
}

void CDlgWaiting::PumpMessages() {
  MSG message;
  while (!m_cancelled && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if ((message.message == WM_CHAR || message.message == WM_KEYDOWN) && message.wParam == VK_ESCAPE) {
      m_cancelled = true;
      continue;
    }
    if (!m_hWnd || !IsDialogMessageA(m_hWnd, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}

// ---- New Dictionary ---------------------------------------------------------------

CDlgNewDictionary::CDlgNewDictionary() : win::CDialog(IDD_NEW_DICTIONARY) {}

BOOL CDlgNewDictionary::OnInitDialog() {
  FillTypeList(Item(IDC_ND_TYPE), DICT_TYPE_WORDS);
  SendDlgItemMessageA(m_hWnd, IDC_ND_TYPE, CB_SETCURSEL, 0, 0);
  type = DICT_TYPE_WORDS;
  return TRUE;
}

bool CDlgNewDictionary::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT&) {
  if (message != WM_COMMAND) return false;
  if (LOWORD(wParam) == IDC_ND_NAME && HIWORD(wParam) == EN_CHANGE) {
    name = win::ItemText(m_hWnd, IDC_ND_NAME);
    filePath = NewDictionaryPath(win::ExeFolder(), name);
    SetDlgItemTextA(m_hWnd, IDC_ND_PATH, filePath.c_str());
    return true;
  }
  if (LOWORD(wParam) == IDC_ND_TYPE && HIWORD(wParam) == CBN_SELCHANGE) {
    const LRESULT row = SendDlgItemMessageA(m_hWnd, IDC_ND_TYPE, CB_GETCURSEL, 0, 0);
    if (row != CB_ERR) type = static_cast<std::int32_t>(SendDlgItemMessageA(m_hWnd, IDC_ND_TYPE, CB_GETITEMDATA, row, 0));
    return true;
  }
  return false;
}

// A name that would make no file, or would take over another dictionary's
// file, is refused before anything is made.
void CDlgNewDictionary::OnOK() {
  name = win::ItemText(m_hWnd, IDC_ND_NAME);
  description = win::ItemText(m_hWnd, IDC_ND_DESCRIPTION);
  filePath = NewDictionaryPath(win::ExeFolder(), name);
  const NewNameProblem problem = CheckNewDictionaryName(
      name, [](const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; },
      filePath);
  if (problem != NewNameProblem::kNone) {
    const UINT text = problem == NewNameProblem::kEmpty        ? IDS_NEW_NAME_EMPTY
                      : problem == NewNameProblem::kBadCharacter ? IDS_NEW_NAME_BAD
                                                                 : IDS_NEW_NAME_EXISTS;
    win::MessageBoxRes(m_hWnd, text, MB_OK | MB_ICONERROR, win::Caption::Error);
    SetFocus(Item(IDC_ND_NAME));
    return;
  }
  EndDialog(IDOK);
}

// ---- Dictionary editor ------------------------------------------------------------

CDlgDictOption::CDlgDictOption(std::string path, std::string iniPath)
    : win::CDialog(IDD_DICT_EDITOR),
      m_path(std::move(path)),
      m_iniPath(std::move(iniPath)),
      m_model(win::LoadStr(IDS_USER_DICTIONARY), win::LoadStr(IDS_USER_SHORTHANDS)) {
  OnCommandId(IDC_DE_QUERY, [this] { Query(win::ItemText(m_hWnd, IDC_DE_KEY)); });
  OnCommandId(IDC_DE_RELOAD, [this] {
    SetDlgItemTextA(m_hWnd, IDC_DE_KEY, "");
    SetDlgItemTextA(m_hWnd, IDC_DE_DATA, "");
    Query("");
  });
  OnCommandId(IDC_DE_MISC, [this] { OnMiscKey(); });
  OnCommandId(IDC_DE_ADD, [this] { OnAdd(); });
  OnCommandId(IDC_DE_SAVE, [this] { OnSave(); });
  OnCommandId(IDC_DE_DELETE, [this] { OnDelete(); });
  OnCommandId(IDC_DE_IMPORT, [this] { OnImport(); });
  OnCommandId(IDC_DE_EXPORT, [this] { OnExport(); });
}

CDlgDictOption::~CDlgDictOption() = default;

BOOL CDlgDictOption::OnInitDialog() {
  m_waiting.Create(m_hWnd);
  m_images.reset(ImageList_Create(16, 16, ILC_COLOR8 | ILC_MASK, 0, 1));
  HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_PROMPT_IMAGES));
  if (m_images && bitmap) ImageList_AddMasked(m_images.get(), bitmap, RGB(0, 0, 0));
  if (bitmap) DeleteObject(bitmap);
  HWND list = List();
  ListView_SetImageList(list, m_images.get(), LVSIL_SMALL);
  ListView_SetExtendedListViewStyle(list, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
  if (m_model.Open(m_path)) {
    const bool shorthand = m_model.Dictionary().GetType() == DICT_TYPE_SHORTHAND;
    win::AddListColumn(list, 0, shorthand ? "Shorthand" : "Spelling", 120, LVCFMT_LEFT);
    win::AddListColumn(list, 1, shorthand ? "Full Text" : "Remark", 300, LVCFMT_LEFT);
    FillTypeList(Item(IDC_DE_TYPE), m_model.Dictionary().GetType());
    SetDlgItemTextA(m_hWnd, IDC_DE_NAME, m_model.Dictionary().GetCaption().c_str());
    SetDlgItemTextA(m_hWnd, IDC_DE_DESCRIPTION, m_model.Dictionary().GetDescription().c_str());
    CheckDlgButton(m_hWnd, IDC_DE_CAN_EDIT, m_model.EditAllowed() ? BST_CHECKED : BST_UNCHECKED);
    Query("");
  }
  // A Tab in the data edit is a character of the data.
  m_dataEditProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
      Item(IDC_DE_DATA), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CDlgDictOption::DataEditProc)));
  SetWindowLongPtrA(Item(IDC_DE_DATA), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ShowButtons();
  return TRUE;
}

LRESULT CALLBACK CDlgDictOption::DataEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<CDlgDictOption*>(GetWindowLongPtrA(edit, GWLP_USERDATA));
  // Tab only: Enter still runs the default button (Query) and Escape still
  // cancels the dialog.
  if (message == WM_GETDLGCODE) return DLGC_WANTTAB | CallWindowProcA(self->m_dataEditProc, edit, message, wParam, lParam);
  if (message == WM_CHAR && wParam == VK_TAB) {
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("\t"));
    return 0;
  }
  return CallWindowProcA(self->m_dataEditProc, edit, message, wParam, lParam);
}

void CDlgDictOption::Query(const std::string& text) {
  win::ScopedTiming timing(m_hWnd, kQueryTiming);
  ProgressWnd progress(m_iniPath);
  if (progress.Create(m_hWnd, win::LoadStr(IDS_CAPTION))) {
    progress.SetText(win::LoadStr(IDS_DICT_LOADING));
    progress.SetRange(0, m_model.Dictionary().GetItemCount(), 1);
  }
  m_model.Query(text, [&](std::int32_t done, std::int32_t) { return progress.KeepGoing(done); });
  HWND list = List();
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemCountEx(list, static_cast<int>(m_model.Rows().size()), 0);
  InvalidateRect(list, nullptr, TRUE);
  ShowInfo();
  ShowButtons();
}

void CDlgDictOption::ShowInfo() {
  char text[256];
  std::snprintf(text, sizeof text, win::LoadStr(IDS_DICT_INFO).c_str(), m_model.Dictionary().GetItemCount(),
                static_cast<int>(m_model.Rows().size()));
  SetDlgItemTextA(m_hWnd, IDC_DE_INFO, text);
}

void CDlgDictOption::ShowButtons() {
  const auto& b = m_model.ButtonStates();
  EnableWindow(Item(IDC_DE_ADD), b.add);
  EnableWindow(Item(IDC_DE_SAVE), b.save);
  EnableWindow(Item(IDC_DE_DELETE), b.del);
  EnableWindow(Item(IDC_DE_IMPORT), b.import);
  EnableWindow(Item(IDC_DE_EXPORT), b.exportFile);
  EnableWindow(Item(IDC_DE_TYPE), b.type);
  EnableWindow(Item(IDC_DE_MISC), b.miscKey);
}

void CDlgDictOption::OnSelectionChanged() {
  HWND list = List();
  const int selected = ListView_GetSelectedCount(list);
  std::string key, data;
  if (selected == 1) {
    const auto row = static_cast<std::size_t>(ListView_GetNextItem(list, -1, LVNI_SELECTED));
    if (row < m_model.Rows().size()) {
      key = m_model.Rows()[row].key;
      data = m_model.Rows()[row].data;
      SetDlgItemTextA(m_hWnd, IDC_DE_KEY, key.c_str());
      SetDlgItemTextA(m_hWnd, IDC_DE_DATA, data.c_str());
    }
  }
  m_model.OnSelection(selected, key, data);
  m_model.OnKeyEdited(win::ItemText(m_hWnd, IDC_DE_KEY));
  m_model.OnDataEdited(win::ItemText(m_hWnd, IDC_DE_DATA));
  ShowButtons();
}

void CDlgDictOption::OnAdd() {
  const std::string key = win::ItemText(m_hWnd, IDC_DE_KEY);
  switch (m_model.Add(key, win::ItemText(m_hWnd, IDC_DE_DATA))) {
    case CDictEditorModel::AddResult::kExists:
      win::MessageBoxRes(m_hWnd, IDS_DATA_EXISTS, MB_OK | MB_ICONSTOP);
      return;
    case CDictEditorModel::AddResult::kAdded:
      win::MessageBoxRes(m_hWnd, IDS_ADD_SUCCEED, MB_OK | MB_ICONEXCLAMATION);
      break;
    case CDictEditorModel::AddResult::kFailed:
      break;
  }
  Query(key);
}

void CDlgDictOption::OnSave() {
  const std::string key = win::ItemText(m_hWnd, IDC_DE_KEY);
  m_model.StoreAttributes(ChosenType(), win::ItemText(m_hWnd, IDC_DE_DESCRIPTION), win::ItemText(m_hWnd, IDC_DE_NAME),
                          IsDlgButtonChecked(m_hWnd, IDC_DE_CAN_EDIT) == BST_CHECKED);
  const bool saved = m_model.Save(key, win::ItemText(m_hWnd, IDC_DE_DATA));
  win::MessageBoxRes(m_hWnd, saved ? IDS_SAVE_SUCCEED : IDS_SAVE_FAILED, MB_OK);
  Query(key);
}

void CDlgDictOption::OnDelete() {
  if (win::MessageBoxRes(m_hWnd, IDS_DELETE_ITEMS, MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
  HWND list = List();
  std::vector<std::string> keys;
  for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row >= 0; row = ListView_GetNextItem(list, row, LVNI_SELECTED)) {
    if (static_cast<std::size_t>(row) < m_model.Rows().size()) keys.push_back(m_model.Rows()[static_cast<std::size_t>(row)].key);
  }
  if (keys.empty()) {
    win::MessageBoxRes(m_hWnd, IDS_SELECT_TO_DELETE, MB_OK | MB_ICONSTOP, win::Caption::Error);
    return;
  }
  if (!m_model.Delete(keys)) {
    win::MessageBoxRes(m_hWnd, IDS_DELETE_FAILED, MB_OK | MB_ICONSTOP, win::Caption::Error);
    return;
  }
  win::MessageBoxRes(m_hWnd, IDS_DELETE_SUCCEED, MB_OK | MB_ICONINFORMATION);
  Query("");
}

void CDlgDictOption::OnImport() {
  const std::string path = win::AskTextFile(m_hWnd, false);
  if (path.empty()) return;
  m_waiting.Begin(win::LoadStr(IDS_IMPORTING));
  EnableWindow(m_hWnd, FALSE);
  std::int32_t count = ImportTagged(m_model.Dictionary(), path.c_str(), &m_waiting);
  if (count < 1) count = ImportWordList(m_model.Dictionary(), path.c_str(), &m_waiting);
  EnableWindow(m_hWnd, TRUE);
  m_waiting.End();
  win::MessageBoxText(m_hWnd, Format(IDS_IMPORTED, count), MB_OK | MB_ICONINFORMATION);
  Query("");
}

void CDlgDictOption::OnExport() {
  const std::string path = win::AskTextFile(m_hWnd, true);
  if (path.empty()) return;
  m_waiting.Begin(win::LoadStr(IDS_EXPORTING));
  EnableWindow(m_hWnd, FALSE);
  // The export reads the file as last committed, through a second object.
  m_model.Dictionary().Commit();
  std::int32_t count = 0;
  {
    CDictionary reader;
    if (reader.Open(m_path.c_str())) count = ExportTagged(reader, path.c_str(), &m_waiting);
  }
  EnableWindow(m_hWnd, TRUE);
  m_waiting.End();
  win::MessageBoxText(m_hWnd, Format(IDS_EXPORTED, count), MB_OK | MB_ICONINFORMATION);
}

void CDlgDictOption::OnMiscKey() {
  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MACRO_MENU));
  if (!menu) return;
  RECT button;
  GetWindowRect(Item(IDC_DE_MISC), &button);
  TrackPopupMenu(GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_TOPALIGN, button.left, button.bottom, 0, m_hWnd, nullptr);
  DestroyMenu(menu);
}

std::int32_t CDlgDictOption::ChosenType() const {
  const LRESULT row = SendDlgItemMessageA(m_hWnd, IDC_DE_TYPE, CB_GETCURSEL, 0, 0);
  return row == CB_ERR ? m_model.Type()
                       : static_cast<std::int32_t>(SendDlgItemMessageA(m_hWnd, IDC_DE_TYPE, CB_GETITEMDATA, row, 0));
}

bool CDlgDictOption::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message == WM_DESTROY) win::ScopedTiming::Forget(m_hWnd, kQueryTiming);
  if (message == WM_COMMAND) {
    const UINT id = LOWORD(wParam), code = HIWORD(wParam);
    if (id >= ID_MACRO_FIRST && id <= ID_MACRO_LAST && lParam == 0) {
      // The token goes into whichever edit last had the focus.
      if (!m_lastEdit) return true;
      HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MACRO_MENU));
      char token[64] = {};
      if (menu) GetMenuStringA(menu, id, token, sizeof token, MF_BYCOMMAND);
      if (menu) DestroyMenu(menu);
      HWND edit = Item(m_lastEdit);
      SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(token));
      SetFocus(edit);
      return true;
    }
    if ((id == IDC_DE_KEY || id == IDC_DE_DATA) && code == EN_SETFOCUS) m_lastEdit = static_cast<int>(id);
    if (id == IDC_DE_KEY && code == EN_CHANGE) {
      m_model.OnKeyEdited(win::ItemText(m_hWnd, IDC_DE_KEY));
      ShowButtons();
    }
    if (id == IDC_DE_DATA && code == EN_CHANGE) {
      m_model.OnDataEdited(win::ItemText(m_hWnd, IDC_DE_DATA));
      ShowButtons();
    }
    return false;
  }
  if (message != WM_NOTIFY) return false;
  const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
  if (header.idFrom != IDC_DE_LIST) return false;
  if (header.code == LVN_GETDISPINFOA) {
    auto& info = reinterpret_cast<NMLVDISPINFOA&>(const_cast<NMHDR&>(header));
    const auto row = static_cast<std::size_t>(info.item.iItem);
    if (row >= m_model.Rows().size()) return false;
    if (info.item.mask & LVIF_TEXT) {
      const std::string& text = info.item.iSubItem == 0 ? m_model.Rows()[row].key : m_model.Rows()[row].data;
      lstrcpynA(info.item.pszText, text.c_str(), info.item.cchTextMax);
    }
    if (info.item.mask & LVIF_IMAGE) info.item.iImage = m_model.Dictionary().GetType() - 1;
    return true;
  }
  if (header.code == LVN_ITEMCHANGED || header.code == LVN_ODSTATECHANGED) {
    OnSelectionChanged();
    result = 0;
    return true;
  }
  return false;
}

void CDlgDictOption::OnOK() {
  m_model.StoreAttributes(ChosenType(), win::ItemText(m_hWnd, IDC_DE_DESCRIPTION), win::ItemText(m_hWnd, IDC_DE_NAME),
                          IsDlgButtonChecked(m_hWnd, IDC_DE_CAN_EDIT) == BST_CHECKED);
  EndDialog(IDOK);
}

void CDlgDictOption::OnCancel() {
  m_model.StoreForcedOnly();
  EndDialog(IDCANCEL);
}

// ---- Dictionaries Manager -----------------------------------------------------------

CDlgDictManager::CDlgDictManager(CConfig& config)
    : win::CDialog(IDD_DICT_MANAGER),
      m_config(config),
      m_model([&config](const std::string& path) { return config.IsDictEnabled(path.c_str()); },
              [&config](const std::string& path, bool on) { config.SetDictEnabled(path.c_str(), on); }) {
  OnCommandId(IDC_DM_CREATE, [this] { OnCreate(); });
  OnCommandId(IDC_DM_EDIT, [this] { OnEdit(); });
}

BOOL CDlgDictManager::OnInitDialog() {
  HWND list = Item(IDC_DM_LIST);
  win::AddListColumn(list, 0, win::LoadStr(IDS_DM_COL_NAME), 120, LVCFMT_CENTER);
  win::AddListColumn(list, 1, win::LoadStr(IDS_DM_COL_TYPE), 110, LVCFMT_CENTER);
  win::AddListColumn(list, 2, win::LoadStr(IDS_DM_COL_DESCRIPTION), 200, LVCFMT_CENTER);
  win::AddListColumn(list, 3, win::LoadStr(IDS_DM_COL_PATH), 200, LVCFMT_CENTER);
  win::SetDialogIcons(m_hWnd, m_icon, m_smallIcon);
  ListView_SetExtendedListViewStyle(list, LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
  FillList();
  return TRUE;
}

void CDlgDictManager::FillList() {
  HWND list = Item(IDC_DM_LIST);
  ListView_DeleteAllItems(list);
  m_model.Fill(win::ExeFolder().substr(0, win::ExeFolder().size() - 1) + win::LoadStr(IDS_LIBS_PATTERN));
  int index = 0;
  for (const auto& row : m_model.Rows()) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<char*>(row.caption.c_str());
    item.lParam = index;
    ListView_InsertItem(list, &item);
    ListView_SetItemText(list, index, 1, const_cast<char*>(row.typeText.c_str()));
    ListView_SetItemText(list, index, 2, const_cast<char*>(row.description.c_str()));
    ListView_SetItemText(list, index, 3, const_cast<char*>(row.path.c_str()));
    ListView_SetCheckState(list, index, row.checked);
    ++index;
  }
}

void CDlgDictManager::OnOK() {
  HWND list = Item(IDC_DM_LIST);
  for (int row = 0; row < ListView_GetItemCount(list); ++row)
    m_model.SetChecked(static_cast<std::size_t>(row), ListView_GetCheckState(list, row) != 0);
  m_model.StoreChecks();
  EndDialog(IDOK);
}

void CDlgDictManager::OnCreate() {
  CDlgNewDictionary create;
  if (create.DoModal(m_hWnd) != IDOK) return;
  {
    CDictionary dictionary;
    if (!dictionary.Open(create.filePath.c_str())) {
      win::MessageBoxRes(m_hWnd, IDS_CREATE_FAILED, MB_OK | MB_ICONSTOP, win::Caption::Error);
      return;
    }
    dictionary.SetType(create.type);
    dictionary.SetDescription(create.description.c_str(), static_cast<int>(create.description.size()));
    dictionary.SetCaption(create.name.c_str(), static_cast<int>(create.name.size()));
    dictionary.SetEditFlags(DICT_EDIT_ALLOWED);
    dictionary.SaveInfo();
  }
  CDlgDictOption editor(create.filePath, m_config.ConfigIniPath());
  if (editor.DoModal(m_hWnd) == IDOK) FillList();
}

void CDlgDictManager::OnEdit() {
  HWND list = Item(IDC_DM_LIST);
  const int row = ListView_GetNextItem(list, -1, LVNI_SELECTED);
  if (row < 0 || static_cast<std::size_t>(row) >= m_model.Rows().size()) return;
  // Keep the check states the user has set while the editor is open.
  for (int r = 0; r < ListView_GetItemCount(list); ++r)
    m_model.SetChecked(static_cast<std::size_t>(r), ListView_GetCheckState(list, r) != 0);
  CDlgDictOption editor(m_model.Rows()[static_cast<std::size_t>(row)].path, m_config.ConfigIniPath());
  if (editor.DoModal(m_hWnd) == IDOK) FillList();
}

bool CDlgDictManager::OnMessage(UINT message, WPARAM, LPARAM lParam, LRESULT&) {
  if (message != WM_NOTIFY) return false;
  const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
  if (header.idFrom == IDC_DM_LIST && header.code == NM_DBLCLK) {
    OnEdit();
    return true;
  }
  return false;
}
