// Follows the text caret and the keyboard focus of whatever application the
// user types in, from decoded accessibility events, so that the prompt list
// can stand just below the caret and the typed text can be kept per window.
//
// This is the portable part: the event decisions, the caret point and the
// typing-window test. The Windows part installs the WinEvent hook, decodes
// each event with the accessibility calls into an AccessibleEvent (only
// events whose accessible object was found are handed on) and answers the
// Word query.
//
// The tracker reports nothing until it has an owner (SetOwner).
//
// Threading: the user-interface thread only; events are handled between
// messages on that thread.
#pragma once

#include <cstdint>

#include "config/Config.h"
#include "platform/Desktop.h"

namespace output {

struct ScreenPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  bool operator==(const ScreenPoint&) const = default;
};

struct ScreenRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  bool operator==(const ScreenRect&) const = default;
};

// Accessibility event and object ids, and the roles the tracker looks at.
enum : std::uint32_t {
  kEventObjectCreate = 0x8000,
  kEventObjectShow = 0x8002,
  kEventObjectFocus = 0x8005,
  kEventObjectLocationChange = 0x800B,
};
enum : std::int32_t { kObjIdWindow = 0, kObjIdCaret = -8 };
enum : std::uint32_t {
  kRoleMenuBar = 2,
  kRoleMenuPopup = 11,
  kRoleMenuItem = 12,
  kRoleSeparator = 21,
  kRoleStatusBar = 23,
  kRoleButtonMenu = 57,
};

// One accessibility event with the answers of its accessible object.
struct AccessibleEvent {
  std::uint32_t event = 0;
  platform::WindowHandle window = 0;
  std::int32_t objectId = 0;
  std::int32_t childId = 0;
  bool locationOk = false;  // accLocation of the child succeeded
  std::int32_t left = 0, top = 0, width = 0, height = 0;
  bool roleOk = false;  // get_accRole of the child succeeded
  std::uint32_t role = 0;
};

// What the tracker tells the main window.
class CaretOwner {
 public:
  virtual ~CaretOwner() = default;
  // The caret moved; the prompt, if shown, follows it.
  virtual void RepositionPrompt() = 0;
  // The focus leaves `window` (0 for a menu or the like).
  virtual void OnFocusLeft(platform::WindowHandle window) = 0;
  // The focus enters `window` (0 for a menu or the like).
  virtual void OnFocusEntered(platform::WindowHandle window) = 0;
  // The main window; carets and focus inside it are ours and never followed.
  virtual platform::WindowHandle MainWindow() const = 0;
};

// Window queries beyond platform::Desktop.
class CaretDesktop {
 public:
  virtual ~CaretDesktop() = default;
  virtual platform::WindowHandle ForegroundWindow() const = 0;
  // The window's rectangle in screen coordinates; false when it has none.
  virtual bool WindowRect(platform::WindowHandle window, ScreenRect& rect) const = 0;
  // Whether the window is an edit control that hides what is typed.
  virtual bool IsPasswordEdit(platform::WindowHandle window) const = 0;
  // The caret that the system's GUI-thread information gives for the thread
  // of `window`, in screen coordinates, when that caret belongs to `window`
  // itself; false otherwise or when the system cannot tell.
  virtual bool GuiThreadCaret(platform::WindowHandle window, ScreenRect& caret) const {
    return false;
  }
};

// Where a running Microsoft Word has the selection in its document window.
class WordCaretQuery {
 public:
  virtual ~WordCaretQuery() = default;
  // The bottom-left corner of the selection in screen pixels; false (and
  // (0, 0)) when Word is not running or does not answer.
  virtual bool GetWordCaretPos(ScreenPoint& point) = 0;
};

class CaretTracker {
 public:
  // Word's document window class, whose caret Word draws itself.
  static constexpr const char* kWordDocumentClass = "_WwG";

  // `word` may be null: then Word is never asked (as if not running).
  CaretTracker(const platform::Desktop& desktop, const CaretDesktop& caretDesktop,
               const CConfig& config, WordCaretQuery* word = nullptr);

  // Starts (or with null stops) reporting to `owner`.
  void SetOwner(CaretOwner* newOwner) { owner = newOwner; }

  // One accessibility event whose accessible object was found.
  void OnAccessibleEvent(const AccessibleEvent& e);

  // Where the prompt list's top-left corner should go, in screen
  // coordinates; (0, 0) when nothing should be shown.
  ScreenPoint GetCaretPoint();
  // Whether keys typed into the focused window are to be followed.
  bool IsTypingWindow();
  // Why IsTypingWindow last answered no.
  enum class Refusal { kNone, kNoFocus, kPassword, kEditBoxRule, kNoCaret };
  Refusal refusal = Refusal::kNone;

  // The outermost window above `window` by the parent chain (itself when it
  // has no parent).
  platform::WindowHandle TopLevelOf(platform::WindowHandle window) const;

  std::int32_t caretLeft = 0;
  std::int32_t caretTop = 0;
  std::int32_t caretRight = 0;
  std::int32_t caretBottom = 0;
  platform::WindowHandle caretWindow = 0;
  platform::WindowHandle focusWindow = 0;
  CaretOwner* owner = nullptr;

 private:
  void SetCaret(platform::WindowHandle window, const ScreenRect& rect);
  void LearnCaretFromGuiThread();
  void MoveFocus(platform::WindowHandle window);

  const platform::Desktop& m_desktop;
  const CaretDesktop& m_caretDesktop;
  const CConfig& m_config;
  WordCaretQuery* m_word;
  // Whether the caret fields came from a caret event (rather than from the
  // GUI-thread information, which is asked afresh each time).
  bool m_caretFromEvent = false;
};

}  // namespace output
