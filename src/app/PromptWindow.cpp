#include "app/PromptWindow.h"

#include <commctrl.h>

#include <algorithm>

#include "output/FrameLayout.h"
#include "res/Resource.h"
#include "win/Handles.h"

namespace {

constexpr UINT kSizeOnly = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;

// The rows' icons at the window's DPI. Above 96 the 16-pixel strip is
// stretched (pixel for pixel, so that the black mask keeps its edges): the
// icon sets a row's least height, and the rows are to grow with their text.
HIMAGELIST LoadPromptImages(unsigned dpi) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  const int size = MulDiv(16, static_cast<int>(dpi), 96);
  if (size <= 16) {
    return ImageList_LoadImageA(instance, MAKEINTRESOURCEA(IDB_PROMPT_IMAGES), 16, 0, RGB(0, 0, 0), IMAGE_BITMAP,
                                LR_CREATEDIBSECTION);
  }
  win::BitmapHandle strip(static_cast<HBITMAP>(
      LoadImageA(instance, MAKEINTRESOURCEA(IDB_PROMPT_IMAGES), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  BITMAP info = {};
  if (!strip || !GetObjectA(strip.get(), sizeof info, &info) || info.bmHeight <= 0) return nullptr;
  const int count = static_cast<int>(info.bmWidth / info.bmHeight);
  HDC screen = GetDC(nullptr);
  win::BitmapHandle scaled(CreateCompatibleBitmap(screen, count * size, size));
  HDC from = CreateCompatibleDC(screen);
  HDC to = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  HGDIOBJ oldFrom = SelectObject(from, strip.get());
  HGDIOBJ oldTo = SelectObject(to, scaled.get());
  SetStretchBltMode(to, COLORONCOLOR);
  StretchBlt(to, 0, 0, count * size, size, from, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
  SelectObject(from, oldFrom);
  SelectObject(to, oldTo);
  DeleteDC(from);
  DeleteDC(to);
  HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, count, 0);
  if (images) ImageList_AddMasked(images, scaled.get(), RGB(0, 0, 0));
  return images;
}

}  // namespace

void CPromptWindow::CreateControls(HWND list, PromptListCtrl::ClickSink& clicks) {
  m_list.Attach(list, clicks);
  LVCOLUMNA column = {};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
  column.fmt = LVCFMT_LEFT;
  column.cx = 100;
  column.pszText = const_cast<char*>("");
  SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
  // The list view owns the image list from here on and destroys it with
  // itself.
  if (HIMAGELIST images = LoadPromptImages(PreviewWnd::WindowDpi(m_dialog)))
    ListView_SetImageList(list, images, LVSIL_SMALL);
  m_preview.Create(m_dialog);
  m_preview.SetText("", PreviewWnd::kStyleNote);
  CreateNumberLabels();
}

// Ten labels "1" .. "9", "0" left of the rows, each one row high, measured
// on a blank row; the list is then 10.5 rows high.
void CPromptWindow::CreateNumberLabels() {
  HWND list = m_list.Handle();
  InsertRow(0, "", 0, 0);
  RECT row = {0, 0, 0, 16};
  ListView_GetItemRect(list, 0, &row, LVIR_BOUNDS);
  const int rowHeight = std::max(1, static_cast<int>(row.bottom - row.top));
  RECT listRect;
  GetWindowRect(list, &listRect);
  MapWindowPoints(nullptr, m_dialog, reinterpret_cast<POINT*>(&listRect), 2);
  m_nLabelsRight = std::max(1, static_cast<int>(listRect.left) - 5);
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(m_dialog, WM_GETFONT, 0, 0));
  for (int i = 0; i < 10; ++i) {
    const std::string number = std::to_string((i + 1) % 10);
    m_labels[i] = CreateWindowExA(0, "STATIC", number.c_str(), WS_CHILD | WS_VISIBLE | SS_CENTER, 0,
                                  listRect.top + row.top + i * rowHeight, m_nLabelsRight, rowHeight, m_dialog,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_NUMBER_LABEL0 + i)),
                                  GetModuleHandleA(nullptr), nullptr);
    if (m_labels[i] && font) SendMessageA(m_labels[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  DeleteAllRows();
  SetWindowPos(list, nullptr, 0, 0, listRect.right - listRect.left, rowHeight * 21 / 2, kSizeOnly);
}

// The first size change after a page was filled is our own; any other
// stretches the list to the client area.
void CPromptWindow::OnSize() {
  if (m_bIgnoreSize) {
    m_bIgnoreSize = false;
    return;
  }
  HWND list = m_list.Handle();
  if (!list) return;
  RECT client, listRect;
  GetClientRect(m_dialog, &client);
  GetWindowRect(list, &listRect);
  MapWindowPoints(nullptr, m_dialog, reinterpret_cast<POINT*>(&listRect), 2);
  SetWindowPos(list, nullptr, 0, 0, client.right - listRect.left, client.bottom - listRect.top, kSizeOnly);
  PlacePreview();
}

bool CPromptWindow::IsVisible() const { return m_bPromptVisible; }

void CPromptWindow::Defer(unsigned what) {
  if (!m_deferred) PostMessageA(m_dialog, WM_APPLY_PROMPT, 0, 0);
  m_deferred |= what;
}

void CPromptWindow::ShowAt(engine::Point point) {
  m_bPromptVisible = true;
  if (!m_bInHookKey) return ShowPromptWindow(point);
  m_deferredPoint = point;
  m_deferred &= ~kDeferHide;
  Defer(kDeferShow);
}

void CPromptWindow::Hide() {
  m_bPromptVisible = false;
  if (!m_bInHookKey) return HidePromptWindow();
  m_deferred &= ~(kDeferShow | kDeferPlace);
  Defer(kDeferHide);
}

// What was put off while a key was handled, in the order the engine asks
// for it: the preview's text, the sizes, showing or hiding, the preview's
// place.
void CPromptWindow::ApplyDeferred() {
  const unsigned work = m_deferred;
  m_deferred = 0;
  if (work & kDeferText) m_preview.SetText(m_deferredText, m_deferredStyle);
  if (work & kDeferArrange) ArrangeWindow(m_deferredPathRows, m_deferredRows, m_deferredPageSize);
  if (work & kDeferHidePreview) m_preview.Show(false, 0, 0);
  if (work & kDeferHide) HidePromptWindow();
  if (work & kDeferShow) ShowPromptWindow(m_deferredPoint);
  else if (work & kDeferPlace) PlacePreviewWindow();
}

// The prompt must not stay our thread's active window once it is hidden (the
// dialog starts active, the tray menu makes it so): Wine gives the keyboard to
// an active window of ours when it is shown again, and the keys the user types
// on would go to the prompt instead of the application.
void CPromptWindow::ReleaseActivation() {
  if (GetActiveWindow() != m_dialog) return;
  SetFocus(nullptr);
  SetActiveWindow(nullptr);
}

void CPromptWindow::ShowPromptWindow(engine::Point point) {
  ReleaseActivation();
  // Kept on the caret's monitor; flipped over the caret line when there is
  // no room below it.
  RECT own = {0, 0, 0, 0};
  GetWindowRect(m_dialog, &own);
  const bool underCaret = point.y == m_caret.caretBottom + 5;
  const int above = 5 + (underCaret ? std::max(0, m_caret.caretBottom - m_caret.caretTop) : 0);
  const output::ScreenPoint place = output::KeepInWorkArea(
      {point.x, point.y}, own.right - own.left, own.bottom - own.top, above, WorkAreaAt(point.x, point.y));
  m_bShowingPrompt = true;
  SetWindowPos(m_dialog, HWND_TOPMOST, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  m_bShowingPrompt = false;
  // Drawn now rather than when the target application lets us idle.
  RedrawWindow(m_dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  PlacePreviewWindow();
}

void CPromptWindow::HidePromptWindow() {
  if (!m_dialog) return;
  SetWindowPos(m_dialog, HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  m_preview.Show(false, 0, 0);
}

void CPromptWindow::DeleteAllRows() { ListView_DeleteAllItems(m_list.Handle()); }

bool CPromptWindow::InsertRow(int row, const std::string& text, int image, int itemData) {
  LVITEMA item = {};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  item.iItem = row;
  item.pszText = const_cast<char*>(text.c_str());
  item.iImage = image;
  item.lParam = itemData;
  return SendMessageA(m_list.Handle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)) >= 0;
}

int CPromptWindow::RowCount() const { return ListView_GetItemCount(m_list.Handle()); }

int CPromptWindow::SelectedRow() const { return ListView_GetNextItem(m_list.Handle(), -1, LVNI_SELECTED); }

void CPromptWindow::SelectRow(int row) {
  const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
  ListView_SetItemState(m_list.Handle(), row, both, both);
  ListView_EnsureVisible(m_list.Handle(), row, FALSE);
}

int CPromptWindow::RowItemData(int row) const {
  LVITEMA item = {};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!SendMessageA(m_list.Handle(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return -1;
  return static_cast<int>(item.lParam);
}

void CPromptWindow::Arrange(bool pathRows, int rowCount, int pageSize) {
  if (!m_bInHookKey) return ArrangeWindow(pathRows, rowCount, pageSize);
  m_deferredPathRows = pathRows;
  m_deferredRows = rowCount;
  m_deferredPageSize = pageSize;
  Defer(kDeferArrange);
}

// Sizes the column to its texts, the list to the page and the window around
// both; path rows scroll without number labels.
void CPromptWindow::ArrangeWindow(bool pathRows, int rowCount, int pageSize) {
  HWND list = m_list.Handle();
  ListView_SetColumnWidth(list, 0, LVSCW_AUTOSIZE);
  const int columnWidth = ListView_GetColumnWidth(list, 0) + 6;
  ListView_SetColumnWidth(list, 0, columnWidth);
  RECT row = {0, 0, 0, 0};
  ListView_GetItemRect(list, 0, &row, LVIR_BOUNDS);
  const int listHeight = (row.bottom - row.top) * std::min(rowCount, pageSize);

  m_bIgnoreSize = true;
  LONG_PTR style = GetWindowLongPtrA(list, GWL_STYLE);
  RECT listRect;
  if (pathRows) {
    ShowScrollBar(list, SB_VERT, TRUE);
    ShowScrollBar(list, SB_HORZ, FALSE);
    const int width = columnWidth + GetSystemMetrics(SM_CXHSCROLL) + 5;
    SetWindowPos(list, nullptr, 0, 0, width, listHeight + 6, SWP_NOZORDER | SWP_NOACTIVATE);
    for (HWND label : m_labels) ShowWindow(label, SW_HIDE);
  } else {
    SetWindowLongPtrA(list, GWL_STYLE, style & ~(WS_VSCROLL | WS_HSCROLL));
    ShowScrollBar(list, SB_BOTH, FALSE);
    GetWindowRect(list, &listRect);
    MapWindowPoints(nullptr, m_dialog, reinterpret_cast<POINT*>(&listRect), 2);
    SetWindowPos(list, nullptr, m_nLabelsRight + 5, listRect.top, columnWidth + 5, listHeight + 6,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    for (int i = 0; i < 10; ++i) ShowWindow(m_labels[i], i < rowCount ? SW_SHOWNA : SW_HIDE);
  }
  GetWindowRect(list, &listRect);
  MapWindowPoints(nullptr, m_dialog, reinterpret_cast<POINT*>(&listRect), 2);
  RECT frame = {0, 0, listRect.right + 6, listRect.bottom + 6};
  if (pathRows) frame.right = (listRect.right - listRect.left) + 6;
  SetWindowPos(m_dialog, nullptr, 0, 0, frame.right, frame.bottom, kSizeOnly);
}

void CPromptWindow::SetPreview(const std::string& text, int style) {
  if (!m_bInHookKey) return m_preview.SetText(text, style);
  m_deferredText = text;
  m_deferredStyle = style;
  Defer(kDeferText);
}

void CPromptWindow::PlacePreview() {
  if (!m_bInHookKey) return PlacePreviewWindow();
  m_deferred &= ~kDeferHidePreview;
  Defer(kDeferPlace);
}

// Beside the selected row: right of the list, level with the row.
void CPromptWindow::PlacePreviewWindow() {
  m_preview.Show(false, 0, 0);
  const int row = SelectedRow();
  if (row < 0 || !IsVisible()) return;
  RECT listRect, rowRect = {0, 0, 0, 0};
  GetWindowRect(m_list.Handle(), &listRect);
  ListView_GetItemRect(m_list.Handle(), row, &rowRect, LVIR_BOUNDS);
  POINT top = {rowRect.left, rowRect.top};
  ClientToScreen(m_list.Handle(), &top);
  // Right of the list, or left of the prompt where the monitor ends.
  RECT preview = {0, 0, 0, 0}, prompt = {0, 0, 0, 0};
  GetWindowRect(m_preview.Handle(), &preview);
  GetWindowRect(m_dialog, &prompt);
  const int width = preview.right - preview.left, height = preview.bottom - preview.top;
  const output::ScreenRect work = WorkAreaAt(listRect.right, top.y);
  int x = listRect.right + 3;
  if (x + width > work.right && prompt.left - 3 - width >= work.left) x = prompt.left - 3 - width;
  const output::ScreenPoint place = output::KeepInWorkArea({x, top.y}, width, height, 0, work);
  m_preview.Show(true, place.x, place.y);
}

// The work area of the monitor nearest to a screen point.
output::ScreenRect CPromptWindow::WorkAreaAt(int x, int y) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  HMONITOR monitor = MonitorFromPoint(POINT{x, y}, MONITOR_DEFAULTTONEAREST);
  if (!monitor || !GetMonitorInfoA(monitor, &info)) {
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return {work.left, work.top, work.right, work.bottom};
  }
  return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

void CPromptWindow::HidePreview() {
  if (!m_bInHookKey) {
    m_preview.Show(false, 0, 0);
    return;
  }
  m_deferred &= ~kDeferPlace;
  Defer(kDeferHidePreview);
}
