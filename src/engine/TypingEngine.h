// The typing engine: the behaviour of the main window that turns keys from
// the keyboard hook into the input buffer, looks up candidates, runs the
// prompt's selection keys and types the chosen completion.
//
// The engine draws nothing and calls no system function itself. The main
// window (the Win32 CMainDlg, the simulated desktop's or the terminal's)
// owns it, hands it hook keys, focus changes, posted messages and timers, and
// gives it:
//   - an EngineHost: posted messages to itself, timers, the beep;
//   - a PromptView: the prompt list's rows, selection, placement and preview;
//   - a CaretInfo: the focus window, whether it is a typing window, and
//     where the caret is;
//   - an EngineDesktop: foreground window, window validity and parents, the
//     input-method test, and the folder listing for path completion;
//   - a CompletionOutput: Backspaces and macro text typed into the target;
//   - the options store, the dictionary set and the AutoLearn engine.
//
// Threading: the user-interface thread only. Nothing throws; nothing shows a
// message.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dict/DictItem.h"
#include "engine/PromptReason.h"
#include "platform/Desktop.h"

class CConfig;
class CDictionarySet;
class CAutoLearn;

namespace engine {

using platform::WindowHandle;

// Private messages of the main window (WM_USER = 0x400).
inline constexpr unsigned kWmUser = 0x400;
inline constexpr unsigned WM_INPUT_CHANGED = kWmUser + 1001;
inline constexpr unsigned WM_SELECT_ITEM = kWmUser + 1002;
inline constexpr unsigned WM_HOOK_KEY = kWmUser + 1003;
inline constexpr unsigned WM_COMPLETE_ITEM = kWmUser + 1004;

// Timers of the main window.
inline constexpr int kStartupTimer = 1002;
inline constexpr int kFocusTrackingTimer = 1003;

// Candidate types the engine makes besides the dictionaries' 1 and 2.
inline constexpr int32_t kTypeFile = 3;
inline constexpr int32_t kTypeDirectory = 4;
inline constexpr int32_t kTypeLearned = 5;
// A dictionary word near a mistyped one.
inline constexpr int32_t kTypeCorrection = 6;

// Completion kinds.
inline constexpr int kKindShorthand = 0;
inline constexpr int kKindReplace = 2;
inline constexpr int kKindDirectory = 3;
inline constexpr int kKindFile = 4;

// Match flags of the dictionary search.
inline constexpr int32_t kMatchStart = 1;
inline constexpr int32_t kMatchWords = 8;
inline constexpr int32_t kMatchPhrases = 32;

struct Point {
  int x = 0;
  int y = 0;
};

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

class EngineHost {
 public:
  virtual ~EngineHost() = default;
  // Posts a message to the main window; it comes back through OnMessage.
  virtual void PostToSelf(unsigned message) = 0;
  virtual void SetTimer(int id, unsigned milliseconds) = 0;
  virtual void KillTimer(int id) = 0;
  // The simple beep (MessageBeep(-1)).
  virtual void Beep() = 0;
  virtual WindowHandle MainWindow() const = 0;
  // The reason (CTypingEngine::Reason) changed. It may be called while a
  // hook key is handled: show it later.
  virtual void ReasonChanged() {}
};

class PromptView {
 public:
  virtual ~PromptView() = default;
  virtual bool IsVisible() const = 0;
  // Shows the prompt topmost with its top-left corner at point, without
  // activating it or changing its size.
  virtual void ShowAt(Point point) = 0;
  // Hides the prompt (and the preview) and makes it not topmost.
  virtual void Hide() = 0;

  virtual void DeleteAllRows() = 0;
  // Inserts a row at `row`: its text, small image and item data. False when
  // the row could not be inserted.
  virtual bool InsertRow(int row, const std::string& text, int image, int itemData) = 0;
  virtual int RowCount() const = 0;
  // The selected row, -1 when none.
  virtual int SelectedRow() const = 0;
  // Selects and focuses a row and scrolls it into view.
  virtual void SelectRow(int row) = 0;
  virtual int RowItemData(int row) const = 0;
  // Sizes the list and the window after the rows were filled: path rows
  // get a scrolling list without number labels; other rows show the labels
  // of the rows that exist. pageSize rows at most are visible.
  virtual void Arrange(bool pathRows, int rowCount, int pageSize) = 0;

  // The preview text of the selected row: style 1 a word's remark, 2 a
  // shorthand's expansion; an empty text hides the preview.
  virtual void SetPreview(const std::string& text, int style) = 0;
  // Places the preview beside the selected row (hidden when none).
  virtual void PlacePreview() = 0;
  virtual void HidePreview() = 0;
};

class CaretInfo {
 public:
  virtual ~CaretInfo() = default;
  // The control that last received the keyboard focus (0 for a menu).
  virtual WindowHandle FocusWindow() const = 0;
  // Whether keys typed into the focus window are to be followed.
  virtual bool IsTypingWindow() = 0;
  // Where the prompt's top-left corner belongs; (0, y) or (x, 0) when
  // nowhere.
  virtual Point GetCaretPoint() = 0;
  // Why IsTypingWindow last answered no: kNoWindow, kPassword, kEditBox or
  // kNoCaret.
  virtual PromptReason::Code NotTypingReason() const { return PromptReason::Code::kNoCaret; }
};

// One entry of a folder listing.
struct FolderEntry {
  std::string name;
  uint32_t attributes = 0;  // FILE_ATTRIBUTE_* bits; 0x10 a directory
};

class EngineDesktop {
 public:
  virtual ~EngineDesktop() = default;
  virtual WindowHandle ForegroundWindow() const = 0;
  virtual void SetForegroundWindow(WindowHandle window) = 0;
  virtual bool IsWindowValid(WindowHandle window) const = 0;
  virtual WindowHandle WindowParent(WindowHandle window) const = 0;
  // Whether the keyboard layout of the foreground window's thread is an
  // input-method editor.
  virtual bool ForegroundHasIme() const = 0;
  // Whether the window's process runs with higher rights than ours (the
  // system then keeps its keys from the hook).
  virtual bool RunsWithHigherRights(WindowHandle window) const { return false; }
  // The entries of a folder search ("C:\dir\*.*"), "." and ".." included
  // where the system lists them; false when the search does not open.
  virtual bool ListFolder(const std::string& pattern, std::vector<FolderEntry>& entries) = 0;
};

class CompletionOutput {
 public:
  virtual ~CompletionOutput() = default;
  // One Backspace press and release per count.
  virtual void Backspaces(int count) = 0;
  // Types text with its macro tokens expanded into the foreground window.
  virtual void TypeMacroText(const std::string& text, WindowHandle target) = 0;
};

class CTypingEngine {
 public:
  CTypingEngine(EngineHost& host, PromptView& prompt, CaretInfo& caret, EngineDesktop& desktop,
                CompletionOutput& output, CConfig& config, CDictionarySet& dictSet,
                CAutoLearn& autoLearn);
  ~CTypingEngine();
  CTypingEngine(const CTypingEngine&) = delete;
  CTypingEngine& operator=(const CTypingEngine&) = delete;

  // Copies the options of the options store into the engine.
  void ApplyOptions();

  // A private message or timer of the main window. Returns the message's
  // result (WM_HOOK_KEY: 1 pass the key on, 0 swallow it).
  intptr_t OnMessage(unsigned message, uintptr_t wParam, intptr_t lParam);
  void OnTimer(int id);

  // WM_HOOK_KEY: wParam the key's text bytes, lParam bits 0-3 the phase (0
  // pressed) and bits 8-15 the virtual key.
  int OnHookKey(uintptr_t wParam, intptr_t lParam);
  void OnFocusLeft(WindowHandle window);
  void OnFocusEntered(WindowHandle window);
  void OnInputChanged();
  int OnCompleteItem();

  // code 0-9 a row of the page, -1 previous row, -2 next row, -4 previous
  // page, -5 next page, -6 the current row. 0, or 1 after a beep.
  int Select(int code);
  void ShowPrompt(bool show);
  void RepositionPrompt();
  void ClearCandidates();

  // The prompt list reports a row newly selected (keyboard or mouse).
  void OnRowSelected(int row);
  // A double click on a row.
  void OnRowDoubleClick(int row);
  // Empties the buffer (the enable toggle does this).
  void ResetInput() { m_strInput.clear(); }

  // Why the engine prompts, or does not, in the focus window: worked out
  // anew after the focus moves, brought up to date by every key.
  const PromptReason& Reason() const { return m_reason; }
  // The toggle hotkey (named by hotkeyText) switched the engine off or on.
  void SetSwitchedOff(bool off, const std::string& hotkeyText);
  // Works the reason out for the focus window now.
  void RefreshReason();

  // ---- state (names as the main window has always called them) ----------
  std::string m_strInput;
  std::string m_strQuery;
  std::vector<DictItem> m_aCandidates;
  int m_nAutoLearnCount = 0;
  int m_nPageStart = 0;
  int m_nPageSize = 5;
  int32_t m_nMatchFlags = kMatchStart | kMatchWords | kMatchPhrases;
  bool m_bShorthand = true;
  int m_nMinInput = 1;
  std::string m_strItemText;
  int m_nItemKind = kKindShorthand;
  bool m_bFocusTracking = true;
  // The running lookup's order: learned words by use and dictionary words
  // by commonness (the option), taken at each lookup.
  bool m_bCommonFirst = false;
  // The running lookup met the query itself as a word.
  bool m_bQueryIsWord = false;

  struct SavedInput {
    WindowHandle window = 0;
    std::string text;
  };
  std::vector<SavedInput> m_aSavedInput;

  static constexpr size_t kInputLimit = 1024;
  static constexpr size_t kSavedSlots = 1000;
  static constexpr size_t kItemTextLimit = 65536;
  static constexpr size_t kPathEntryLimit = 1000;

  // The last n query separators from the end mark the tail; leading white
  // space is dropped.
  std::string Tail(int n) const;
  static bool IsQuerySeparator(unsigned char c);

 private:
  bool PathLookup();
  bool DictionaryLookup();
  // Appends the words near the query when it is one word of three letters
  // or more with fewer matches than a page; true when it added any.
  bool AddCorrections();
  bool NextPage(int count);
  bool PreviousPage();
  bool FillPage(int start, int count);
  void PrepareItem(int index);
  void AddFetched(DictItem&& item);
  WindowHandle TopLevelOf(WindowHandle window) const;
  void SetReason(PromptReason::Code code, std::string detail = {});
  PromptReason::Code RulesReason() const;
  void SetCheckedReason(PromptReason::Code code);
  void NoteKeyChecks(PromptReason::Code code);
  void NoteIme(bool active);

  EngineHost& m_host;
  PromptView& m_prompt;
  CaretInfo& m_caret;
  EngineDesktop& m_desktop;
  CompletionOutput& m_output;
  CConfig& m_config;
  CDictionarySet& m_dictSet;
  CAutoLearn& m_autoLearn;

  PromptReason m_reason;
  bool m_bSwitchedOff = false;
  bool m_bImeActive = false;
  bool m_bReasonStale = true;
  // Text was typed since the last lookup. Only then does a separator at the
  // end of the buffer finish a word to learn: a buffer taken up again when
  // the focus comes back, or looked at again for a key whose lookup an
  // earlier one already ran, was not typed anew.
  bool m_bTypedSinceLookup = false;
};

}  // namespace engine
