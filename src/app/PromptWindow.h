// The prompt as the engine sees it, on the main dialog: the candidate list,
// the number labels "1" .. "0" left of its rows and the preview note beside
// the selected row. It places the dialog at the caret (on the caret's
// monitor), sizes the list and the dialog to a page and places the preview.
//
// The keyboard hook waits while a key is handled, so moving, showing and
// hiding windows (which costs round trips to the display) is put off until
// the key is answered: the dialog is sent WM_APPLY_PROMPT and calls
// ApplyDeferred. The prompt's visibility as the engine sees it changes at
// once.
#pragma once

#include <windows.h>

#include <string>

#include "engine/TypingEngine.h"
#include "output/CaretTracker.h"
#include "output/win32/PreviewWnd.h"
#include "output/win32/PromptListCtrl.h"

class CPromptWindow final : public engine::PromptView {
 public:
  // Posted to the dialog when window changes were put off.
  static constexpr UINT WM_APPLY_PROMPT = WM_USER + 1011;

  // The caret tracker tells where the caret line is, to keep the prompt
  // from covering it.
  explicit CPromptWindow(const output::CaretTracker& caret) : m_caret(caret) {}

  // The dialog that is the prompt; before anything else.
  void Attach(HWND dialog) { m_dialog = dialog; }
  // Sets up the dialog's list (its column and the rows' icons at the
  // dialog's DPI), the preview window and the number labels.
  void CreateControls(HWND list, PromptListCtrl::ClickSink& clicks);

  // Set while a hook key is handled: window changes wait until it is not.
  void SetInHookKey(bool inHookKey) { m_bInHookKey = inHookKey; }
  void ApplyDeferred();
  // Whether the dialog is being shown as the prompt: the only time it may
  // appear.
  bool IsShowing() const { return m_bShowingPrompt; }
  void ReleaseActivation();
  void OnSize();
  void HidePreviewWindow() { m_preview.Show(false, 0, 0); }
  void DrawItem(const DRAWITEMSTRUCT& item) { m_list.DrawItem(item); }

  // engine::PromptView
  bool IsVisible() const override;
  void ShowAt(engine::Point point) override;
  void Hide() override;
  void DeleteAllRows() override;
  bool InsertRow(int row, const std::string& text, int image, int itemData) override;
  int RowCount() const override;
  int SelectedRow() const override;
  void SelectRow(int row) override;
  int RowItemData(int row) const override;
  void Arrange(bool pathRows, int rowCount, int pageSize) override;
  void SetPreview(const std::string& text, int style) override;
  void PlacePreview() override;
  void HidePreview() override;

 private:
  void CreateNumberLabels();
  void Defer(unsigned what);
  void ShowPromptWindow(engine::Point point);
  void HidePromptWindow();
  void ArrangeWindow(bool pathRows, int rowCount, int pageSize);
  void PlacePreviewWindow();
  static output::ScreenRect WorkAreaAt(int x, int y);

  const output::CaretTracker& m_caret;
  HWND m_dialog = nullptr;
  PromptListCtrl m_list;
  PreviewWnd m_preview;
  HWND m_labels[10] = {};
  int m_nLabelsRight = 0;
  bool m_bShowingPrompt = false;
  bool m_bIgnoreSize = false;

  enum : unsigned {
    kDeferText = 1, kDeferArrange = 2, kDeferShow = 4, kDeferHide = 8, kDeferPlace = 16, kDeferHidePreview = 32
  };
  bool m_bInHookKey = false;
  bool m_bPromptVisible = false;
  unsigned m_deferred = 0;
  engine::Point m_deferredPoint;
  std::string m_deferredText;
  int m_deferredStyle = 1;
  bool m_deferredPathRows = false;
  int m_deferredRows = 0;
  int m_deferredPageSize = 0;
};
