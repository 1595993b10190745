#include "settings/RuleDlgs.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cctype>
#include <vector>

#include "res/Resource.h"
#include "win/Controls.h"
#include "win/Resources.h"

namespace {

void AddColumn(HWND list, int index, UINT textId, int width) {
  win::AddListColumn(list, index, win::LoadStr(textId), width);
}

// A row whose item data is an index of the working rule list.
void InsertRow(HWND list, const std::vector<std::string>& columns, LPARAM data, int image) {
  LVITEMA item = {};
  item.mask = LVIF_TEXT | LVIF_PARAM | (image >= 0 ? LVIF_IMAGE : 0);
  item.iItem = ListView_GetItemCount(list);
  item.pszText = const_cast<char*>(columns[0].c_str());
  item.lParam = data;
  item.iImage = image;
  const int row = ListView_InsertItem(list, &item);
  for (std::size_t c = 1; c < columns.size(); ++c)
    ListView_SetItemText(list, row, static_cast<int>(c), const_cast<char*>(columns[c].c_str()));
}

// Rows of the list by their place in the rule list's Shown(): the control
// sorts its rows, so they are matched by item data.
std::vector<std::size_t> SelectedShownRows(HWND list, const std::vector<std::size_t>& shown) {
  std::vector<std::size_t> rows;
  for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row >= 0;
       row = ListView_GetNextItem(list, row, LVNI_SELECTED)) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    ListView_GetItem(list, &item);
    const auto found = std::find(shown.begin(), shown.end(), static_cast<std::size_t>(item.lParam));
    if (found != shown.end()) rows.push_back(static_cast<std::size_t>(found - shown.begin()));
  }
  return rows;
}

std::string Status(std::int32_t workOn) { return win::LoadStr(workOn ? IDS_RULE_ENABLE : IDS_RULE_DISABLE); }

std::string FileTitle(const std::string& path) {
  char title[MAX_PATH] = {};
  return GetFileTitleA(path.c_str(), title, sizeof title) == 0 ? std::string(title) : std::string();
}

// Where the running applications' listing and the finder's moves keep
// their longest times.
constexpr char kFillTiming[] = "QuilletFillUs";
constexpr char kMoveTiming[] = "QuilletMoveUs";

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

// ---- Executables' icons ---------------------------------------------------------------

void ExeIcons::Attach(HWND list) {
  m_images.reset(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 8, 8));
  ListView_SetImageList(list, m_images.get(), LVSIL_SMALL);
  Clear();
}

void ExeIcons::Clear() {
  ImageList_RemoveAll(m_images.get());
  m_byPath.clear();
  m_fallback = -1;
}

int ExeIcons::For(const std::string& path) {
  // Many processes share one executable: its icon is read once.
  const std::string key = Lower(path);
  const auto known = m_byPath.find(key);
  if (known != m_byPath.end()) return known->second;
  HICON small = nullptr;
  ExtractIconExA(path.c_str(), 0, nullptr, &small, 1);
  int image = -1;
  if (small) {
    image = ImageList_AddIcon(m_images.get(), small);
    DestroyIcon(small);
  } else {
    if (m_fallback < 0) {
      HICON fallback = static_cast<HICON>(
          LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APPLICATION_DEFAULT), IMAGE_ICON, 16, 16, 0));
      m_fallback = ImageList_AddIcon(m_images.get(), fallback);
      if (fallback) DestroyIcon(fallback);
    }
    image = m_fallback;
  }
  m_byPath.emplace(key, image);
  return image;
}

// ---- Running applications -------------------------------------------------------------

CDlgRunningApps::CDlgRunningApps() : win::CDialog(IDD_RUNNING_APPS) {
  OnCommandId(IDC_RA_REFRESH, [this] { Refresh(); });
}

BOOL CDlgRunningApps::OnInitDialog() {
  HWND list = Item(IDC_RA_LIST);
  AddColumn(list, 0, IDS_COL_FILE_NAME, 120);
  AddColumn(list, 1, IDS_COL_FULL_PATH, 300);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
  m_icons.Attach(list);
  Refresh();
  return TRUE;
}

void CDlgRunningApps::Refresh() {
  HWND list = Item(IDC_RA_LIST);
  win::ScopedTiming timing(m_hWnd, kFillTiming);
  ListView_DeleteAllItems(list);
  m_icons.Clear();
  win::KernelHandle processes(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (processes.get() == INVALID_HANDLE_VALUE) return;
  PROCESSENTRY32 process = {};
  process.dwSize = sizeof process;
  for (BOOL more = Process32First(processes.get(), &process); more; more = Process32Next(processes.get(), &process)) {
    if (process.th32ProcessID == 0 || process.th32ParentProcessID == 0) continue;
    win::KernelHandle modules(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process.th32ProcessID));
    if (modules.get() == INVALID_HANDLE_VALUE) continue;
    const std::string exe = Lower(process.szExeFile);
    MODULEENTRY32 module = {};
    module.dwSize = sizeof module;
    for (BOOL next = Module32First(modules.get(), &module); next; next = Module32Next(modules.get(), &module)) {
      if (module.th32ModuleID != process.th32ModuleID && Lower(module.szModule).find(exe) == std::string::npos)
        continue;
      InsertRow(list, {module.szModule, module.szExePath}, 0, m_icons.For(module.szExePath));
      break;
    }
  }
}

void CDlgRunningApps::OnOK() {
  HWND list = Item(IDC_RA_LIST);
  strResult.clear();
  for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row >= 0 && strResult.empty();
       row = ListView_GetNextItem(list, row, LVNI_SELECTED)) {
    char path[MAX_PATH] = {};
    ListView_GetItemText(list, row, 1, path, sizeof path);
    strResult = path;
  }
  EndDialog(IDOK);
}

bool CDlgRunningApps::OnMessage(UINT message, WPARAM, LPARAM lParam, LRESULT&) {
  if (message == WM_DESTROY) win::ScopedTiming::Forget(m_hWnd, kFillTiming);
  if (message != WM_NOTIFY) return false;
  const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
  if (header.idFrom != IDC_RA_LIST || header.code != NM_DBLCLK) return false;
  OnOK();
  return true;
}

// ---- Application Option ---------------------------------------------------------------

CDlgAppOption::CDlgAppOption(const AppRule& rule) : win::CDialog(IDD_APP_OPTION), m_model(rule) {
  OnCommandId(IDC_AO_BROWSE, [this] {
    const std::string path =
        win::AskFile(m_hWnd, false, "Executable Files (*.exe)\0*.exe\0All Files (*.*)\0*.*\0", nullptr, nullptr);
    if (!path.empty()) Choose(path);
  });
  OnCommandId(IDC_AO_RUNNING, [this] {
    CDlgRunningApps running;
    if (running.DoModal(m_hWnd) == IDOK && !running.strResult.empty()) Choose(running.strResult);
  });
  // The radios keep their group in step themselves, also when a click comes
  // from another program rather than the mouse.
  OnCommandId(IDC_AO_ENABLE, [this] {
    m_model.rule.bWorkOn = 1;
    CheckRadioButton(m_hWnd, IDC_AO_DISABLE, IDC_AO_ENABLE, IDC_AO_ENABLE);
  });
  OnCommandId(IDC_AO_DISABLE, [this] {
    m_model.rule.bWorkOn = 0;
    CheckRadioButton(m_hWnd, IDC_AO_DISABLE, IDC_AO_ENABLE, IDC_AO_DISABLE);
  });
}

BOOL CDlgAppOption::OnInitDialog() {
  SetDlgItemTextA(m_hWnd, IDC_AO_PATH, m_model.rule.strPath.c_str());
  SetDlgItemTextA(m_hWnd, IDC_AO_CAPTION, m_model.strCaption.c_str());
  CheckRadioButton(m_hWnd, IDC_AO_DISABLE, IDC_AO_ENABLE, m_model.rule.bWorkOn ? IDC_AO_ENABLE : IDC_AO_DISABLE);
  return TRUE;
}

void CDlgAppOption::Choose(const std::string& path) {
  m_model.strCaption = win::ItemText(m_hWnd, IDC_AO_CAPTION);
  m_model.ChoosePath(path, FileTitle(path));
  SetDlgItemTextA(m_hWnd, IDC_AO_PATH, path.c_str());
  SetDlgItemTextA(m_hWnd, IDC_AO_CAPTION, m_model.strCaption.c_str());
}

void CDlgAppOption::OnOK() {
  m_model.rule.strPath = win::ItemText(m_hWnd, IDC_AO_PATH);
  m_model.strCaption = win::ItemText(m_hWnd, IDC_AO_CAPTION);
  EndDialog(IDOK);
}

// ---- Applications Manager -------------------------------------------------------------

CDlgAppManager::CDlgAppManager(CConfig& config)
    : win::CDialog(IDD_APP_MANAGER), m_config(config), m_model(config, CRuleListModel::Kind::kApplications) {
  OnCommandId(IDC_AM_OTHERS_ON, [this] {
    m_bOtherApps = 1;
    CheckRadioButton(m_hWnd, IDC_AM_OTHERS_ON, IDC_AM_OTHERS_OFF, IDC_AM_OTHERS_ON);
  });
  OnCommandId(IDC_AM_OTHERS_OFF, [this] {
    m_bOtherApps = 0;
    CheckRadioButton(m_hWnd, IDC_AM_OTHERS_ON, IDC_AM_OTHERS_OFF, IDC_AM_OTHERS_OFF);
  });
  OnCommandId(IDC_AM_ADD, [this] {
    CDlgAppOption option{AppRule{}};
    if (option.DoModal(m_hWnd) != IDOK) return;
    m_model.Add(option.Result());
    Fill();
  });
  OnCommandId(IDC_AM_EDIT, [this] { OnEdit(); });
  OnCommandId(IDC_AM_DELETE, [this] {
    m_model.Delete(SelectedShownRows(Item(IDC_AM_LIST), m_model.Shown()));
    Fill();
  });
}

BOOL CDlgAppManager::OnInitDialog() {
  win::SetDialogIcons(m_hWnd, m_icon, m_smallIcon);
  HWND list = Item(IDC_AM_LIST);
  AddColumn(list, 0, IDS_COL_CAPTION, 120);
  AddColumn(list, 1, IDS_COL_STATUS, 120);
  AddColumn(list, 2, IDS_COL_FULL_PATH, 300);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
  m_icons.Attach(list);
  m_bOtherApps = m_config.bOtherAppsWork;
  Fill();
  return TRUE;
}

void CDlgAppManager::Fill() {
  HWND list = Item(IDC_AM_LIST);
  ListView_DeleteAllItems(list);
  m_icons.Clear();
  for (std::size_t index : m_model.Shown()) {
    const AppRule& rule = m_config.appRules[index];
    InsertRow(list, {rule.strCaption, Status(rule.bWorkOn), rule.strPath}, static_cast<LPARAM>(index),
              m_icons.For(rule.strPath));
  }
  CheckRadioButton(m_hWnd, IDC_AM_OTHERS_ON, IDC_AM_OTHERS_OFF, m_bOtherApps ? IDC_AM_OTHERS_ON : IDC_AM_OTHERS_OFF);
}

void CDlgAppManager::OnEdit() {
  const std::vector<std::size_t> shown = m_model.Shown();
  const std::vector<std::size_t> rows = SelectedShownRows(Item(IDC_AM_LIST), shown);
  if (rows.empty()) return;
  CDlgAppOption option(m_config.appRules[shown[rows.front()]]);
  if (option.DoModal(m_hWnd) != IDOK) return;
  m_model.Update(option.Result());
  Fill();
}

bool CDlgAppManager::OnMessage(UINT message, WPARAM, LPARAM lParam, LRESULT&) {
  if (message != WM_NOTIFY) return false;
  const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
  if (header.idFrom != IDC_AM_LIST || header.code != NM_DBLCLK) return false;
  OnEdit();
  return true;
}

void CDlgAppManager::OnOK() {
  m_config.bOtherAppsWork = m_bOtherApps;
  m_model.Ok();
  EndDialog(IDOK);
}

void CDlgAppManager::OnCancel() {
  m_model.Cancel();
  EndDialog(IDCANCEL);
}

// ---- Edit Box -----------------------------------------------------------------------

CDlgEditBox::CDlgEditBox(const CConfig& config, const AppRule& editRule)
    : win::CDialog(IDD_EDIT_BOX), rule(editRule), m_config(config) {
  OnCommandId(IDC_EB_ENABLE, [this] {
    rule.bWorkOn = 1;
    CheckRadioButton(m_hWnd, IDC_EB_DISABLE, IDC_EB_ENABLE, IDC_EB_ENABLE);
  });
  OnCommandId(IDC_EB_DISABLE, [this] {
    rule.bWorkOn = 0;
    CheckRadioButton(m_hWnd, IDC_EB_DISABLE, IDC_EB_ENABLE, IDC_EB_DISABLE);
  });
}

BOOL CDlgEditBox::OnInitDialog() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  m_frame = std::make_unique<output::HighlightFrame>();
  m_finderIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_FINDER), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  m_emptyIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_FINDER_EMPTY), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  m_crosshair = static_cast<HCURSOR>(LoadImageA(instance, MAKEINTRESOURCEA(IDC_CROSSHAIR), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  m_strEditBoxId = rule.strEditId;
  SetDlgItemTextA(m_hWnd, IDC_EB_ID, m_strEditBoxId.c_str());
  SetDlgItemTextA(m_hWnd, IDC_EB_CAPTION, EditBoxCaption(rule.strCaption).c_str());
  CheckRadioButton(m_hWnd, IDC_EB_DISABLE, IDC_EB_ENABLE, rule.bWorkOn ? IDC_EB_ENABLE : IDC_EB_DISABLE);
  return TRUE;
}

bool CDlgEditBox::OnMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
  POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  switch (message) {
    case WM_LBUTTONDOWN: {
      GetWindowRect(Item(IDC_EB_FINDER), &m_iconRect);
      ClientToScreen(m_hWnd, &point);
      if (!PtInRect(&m_iconRect, point)) return false;
      SendDlgItemMessageA(m_hWnd, IDC_EB_FINDER, STM_SETICON, reinterpret_cast<WPARAM>(m_emptyIcon), 0);
      SetCursor(m_crosshair);
      m_bDragging = true;
      m_finder.Reset();
      SetCapture(m_hWnd);
      result = 0;
      return true;
    }
    case WM_MOUSEMOVE:
      if (!m_bDragging) return false;
      ClientToScreen(m_hWnd, &point);
      OnDrag(point);
      result = 0;
      return true;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (!m_bDragging) return false;
      EndDrag();
      result = 0;
      return true;
    case WM_DESTROY:
      m_frame.reset();
      win::ScopedTiming::Forget(m_hWnd, kMoveTiming);
      return false;
    default:
      return false;
  }
}

void CDlgEditBox::OnDrag(POINT screen) {
  win::ScopedTiming timing(m_hWnd, kMoveTiming);
  if (PtInRect(&m_iconRect, screen)) return;
  HWND target = WindowFromPoint(screen);
  SetCursor(m_crosshair);
  if (!m_finder.MoveOver(reinterpret_cast<platform::WindowHandle>(target), false)) return;
  m_strEditBoxId = m_config.EditBoxId(reinterpret_cast<platform::WindowHandle>(target));
  SetDlgItemTextA(m_hWnd, IDC_EB_ID, m_strEditBoxId.c_str());
  RECT r;
  if (target && IsWindow(target) && GetWindowRect(target, &r)) {
    m_frame->SetTarget({r.left, r.top, r.right, r.bottom});
    m_frame->SetVisible(true);
  } else {
    m_frame->SetVisible(false);
  }
}

void CDlgEditBox::EndDrag() {
  m_bDragging = false;
  if (GetCapture() == m_hWnd) ReleaseCapture();
  SendDlgItemMessageA(m_hWnd, IDC_EB_FINDER, STM_SETICON, reinterpret_cast<WPARAM>(m_finderIcon), 0);
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  if (m_frame) m_frame->SetVisible(false);
}

void CDlgEditBox::OnOK() {
  rule.strCaption = win::ItemText(m_hWnd, IDC_EB_CAPTION);
  rule.strPath.clear();
  rule.strEditId = m_strEditBoxId;
  EndDialog(IDOK);
}

// ---- Edit Box List ------------------------------------------------------------------

CDlgEditBoxList::CDlgEditBoxList(CConfig& config)
    : win::CDialog(IDD_EDIT_BOX_LIST), m_config(config), m_model(config, CRuleListModel::Kind::kEditBoxes) {
  OnCommandId(IDC_EL_ADD, [this] { Edit(AppRule{}, true); });
  OnCommandId(IDC_EL_EDIT, [this] {
    const std::vector<std::size_t> shown = m_model.Shown();
    const std::vector<std::size_t> rows = SelectedShownRows(Item(IDC_EL_LIST), shown);
    if (!rows.empty()) Edit(m_config.appRules[shown[rows.front()]], false);
  });
  OnCommandId(IDC_EL_DELETE, [this] {
    m_model.Delete(SelectedShownRows(Item(IDC_EL_LIST), m_model.Shown()));
    Fill();
  });
}

BOOL CDlgEditBoxList::OnInitDialog() {
  HWND list = Item(IDC_EL_LIST);
  AddColumn(list, 0, IDS_COL_CAPTION, 120);
  AddColumn(list, 1, IDS_COL_EDIT_BOX_ID, 120);
  AddColumn(list, 2, IDS_COL_STATUS, 120);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
  Fill();
  return TRUE;
}

void CDlgEditBoxList::Fill() {
  HWND list = Item(IDC_EL_LIST);
  ListView_DeleteAllItems(list);
  for (std::size_t index : m_model.Shown()) {
    const AppRule& rule = m_config.appRules[index];
    InsertRow(list, {rule.strCaption, rule.strEditId, Status(rule.bWorkOn)}, static_cast<LPARAM>(index), -1);
  }
}

// The list steps aside while the finder is used, so that it does not hide
// the window the user is after.
void CDlgEditBoxList::Edit(const AppRule& rule, bool adding) {
  ShowWindow(m_hWnd, SW_HIDE);
  CDlgEditBox box(m_config, rule);
  const INT_PTR result = box.DoModal(m_hWnd);
  ShowWindow(m_hWnd, SW_SHOW);
  if (result != IDOK) return;
  if (adding) m_model.Add(box.rule);
  else m_model.Update(box.rule);
  Fill();
}

bool CDlgEditBoxList::OnMessage(UINT message, WPARAM, LPARAM lParam, LRESULT&) {
  if (message != WM_NOTIFY) return false;
  const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
  if (header.idFrom != IDC_EL_LIST || header.code != NM_DBLCLK) return false;
  const std::vector<std::size_t> shown = m_model.Shown();
  const std::vector<std::size_t> rows = SelectedShownRows(Item(IDC_EL_LIST), shown);
  if (!rows.empty()) Edit(m_config.appRules[shown[rows.front()]], false);
  return true;
}

void CDlgEditBoxList::OnOK() {
  m_model.Ok();
  EndDialog(IDOK);
}

void CDlgEditBoxList::OnCancel() {
  m_model.Cancel();
  EndDialog(IDCANCEL);
}
