#include "output/win32/PromptListCtrl.h"

#include <string>

#include "win/Handles.h"

namespace {

// How a row is drawn: 1 and 2 in the focused list's colours, 3 plain, 4 in
// our own highlight.
enum Mode { kModeFocusedRow = 1, kModeFocusedHighlight = 2, kModePlain = 3, kModeHighlight = 4 };

void Shrink(RECT& r) { InflateRect(&r, -1, -1); }

}  // namespace

void PromptListCtrl::Attach(HWND list, ClickSink& sink) {
  m_hWnd = list;
  m_sink = &sink;
  SetWindowSubclass(list, &PromptListCtrl::ListProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

// Clicks select and complete here, without the list view's own handling,
// which would give the list the focus; the list never activates its window.
LRESULT CALLBACK PromptListCtrl::ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR data) {
  auto* self = reinterpret_cast<PromptListCtrl*>(data);
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      LVHITTESTINFO hit = {};
      hit.pt = POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      const int row = ListView_HitTest(list, &hit);
      self->m_sink->OnPromptClick(row, message == WM_LBUTTONDBLCLK);
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      return 0;
    case WM_NCDESTROY:
      RemoveWindowSubclass(list, &PromptListCtrl::ListProc, 0);
      break;
    default:
      break;
  }
  return DefSubclassProc(list, message, wParam, lParam);
}

RECT PromptListCtrl::RowBounds(int row, bool inset) const {
  RECT r = {0, 0, 0, 0};
  ListView_GetItemRect(m_hWnd, row, &r, LVIR_BOUNDS);
  if (!inset) Shrink(r);
  return r;
}

RECT PromptListCtrl::CellRect(int row, int column, bool inset) const {
  RECT r = {0, 0, 0, 0};
  ListView_GetItemRect(m_hWnd, row, &r, LVIR_BOUNDS);
  int left = r.left;
  for (int c = 0; c < column; ++c) left += ListView_GetColumnWidth(m_hWnd, c);
  r.left = left;
  r.right = left + ListView_GetColumnWidth(m_hWnd, column);
  if (!inset) Shrink(r);
  return r;
}

void PromptListCtrl::DrawItem(const DRAWITEMSTRUCT& item) {
  const int row = static_cast<int>(item.itemID);
  HDC dc = item.hDC;

  char text[1024] = {};
  LVITEMA lv = {};
  lv.mask = LVIF_IMAGE | LVIF_STATE | LVIF_TEXT;
  lv.iItem = row;
  lv.stateMask = static_cast<UINT>(-1);
  lv.pszText = text;
  lv.cchTextMax = sizeof text;
  SendMessageA(m_hWnd, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lv));

  // The list counts as focused only while its window is the active one: a
  // thread keeps its focus window when another application is in front.
  const bool listFocused = GetFocus() == m_hWnd && GetForegroundWindow() == GetAncestor(m_hWnd, GA_ROOT);
  const bool showSelAlways = (GetWindowLongPtrA(m_hWnd, GWL_STYLE) & LVS_SHOWSELALWAYS) != 0;
  const bool highlighted = (lv.state & LVIS_DROPHILITED) ||
                           ((lv.state & LVIS_SELECTED) && (listFocused || showSelAlways));
  const bool rowFocused = (lv.state & LVIS_FOCUSED) != 0;

  Mode mode;
  if (item.itemAction == ODA_FOCUS) {
    mode = listFocused ? (rowFocused ? kModeFocusedRow : !highlighted ? kModePlain : kModeFocusedHighlight) : kModeHighlight;
  } else if (item.itemAction == ODA_SELECT) {
    mode = !highlighted ? kModePlain : listFocused ? kModeFocusedHighlight : kModeHighlight;
  } else {
    mode = listFocused ? (rowFocused ? kModeFocusedRow : !highlighted ? kModePlain : kModeFocusedHighlight)
                       : (!highlighted ? kModePlain : kModeHighlight);
  }

  int imageWidth = 0;
  HIMAGELIST images = ListView_GetImageList(m_hWnd, LVSIL_SMALL);
  if (images) {
    int cx = 0, cy = 0;
    ImageList_GetIconSize(images, &cx, &cy);
    imageWidth = cx;
  }

  if (mode == kModePlain) {
    RECT cell = CellRect(row, 0, true);
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    FillRect(dc, &cell, white);
    SetTextColor(dc, RGB(0, 0, 0));
  } else {
    RECT bounds = RowBounds(row, true);
    bounds.left += imageWidth;
    const COLORREF fill = mode == kModeHighlight ? PromptListCtrl::kHighlight : GetSysColor(COLOR_ACTIVECAPTION);
    win::BrushHandle brush(CreateSolidBrush(fill));
    FillRect(dc, &bounds, brush.get());
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  }

  // The icon goes on top of the fill (a plain row's white covers the
  // icon's column too).
  if (images) ImageList_Draw(images, lv.iImage, dc, 0, RowBounds(row, true).top, ILD_NORMAL);

  // The text lies on the fill: an opaque background would paint a box of
  // the window's text background behind it.
  SetBkMode(dc, TRANSPARENT);
  RECT textRect = CellRect(row, 0, false);
  textRect.left += imageWidth;
  if (mode != kModeHighlight) textRect.right += imageWidth;
  DrawTextA(dc, text, -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
}
