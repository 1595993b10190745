#include "output/CaretTracker.h"

namespace output {
namespace {

// Parent chains are short; a longer one can only be a cycle in a broken
// window tree, and the walk stops there.
constexpr int kMaxAncestors = 256;

bool IsMenuLikeRole(std::uint32_t role) {
  switch (role) {
    case kRoleMenuBar:
    case kRoleMenuPopup:
    case kRoleMenuItem:
    case kRoleSeparator:
    case kRoleStatusBar:
    case kRoleButtonMenu:
      return true;
    default:
      return false;
  }
}

// Screen coordinates are 32-bit; sums that leave that range wrap rather
// than overflow.
std::int32_t Add(std::int32_t a, std::int64_t b) {
  return static_cast<std::int32_t>(static_cast<std::int64_t>(a) + b);
}

}  // namespace

CaretTracker::CaretTracker(const platform::Desktop& desktop, const CaretDesktop& caretDesktop,
                           const CConfig& config, WordCaretQuery* word)
    : m_desktop(desktop), m_caretDesktop(caretDesktop), m_config(config), m_word(word) {}

platform::WindowHandle CaretTracker::TopLevelOf(platform::WindowHandle window) const {
  platform::WindowHandle w = window;
  for (int depth = 0; w && depth < kMaxAncestors; ++depth) {
    platform::WindowHandle parent = m_desktop.WindowParent(w);
    if (!parent) break;
    w = parent;
  }
  return w;
}

void CaretTracker::SetCaret(platform::WindowHandle window, const ScreenRect& rect) {
  caretWindow = window;
  caretLeft = rect.left;
  caretTop = rect.top;
  caretRight = rect.right;
  caretBottom = rect.bottom;
}

// Not every program reports its caret through accessibility events (Wine
// sends none at all). When the focused window has not reported one, the
// caret that the system keeps for the window's thread stands in for the
// event, as long as it belongs to that very window.
void CaretTracker::LearnCaretFromGuiThread() {
  if (!focusWindow || (focusWindow == caretWindow && m_caretFromEvent)) return;
  ScreenRect caret;
  if (m_caretDesktop.GuiThreadCaret(focusWindow, caret)) {
    SetCaret(focusWindow, caret);
    m_caretFromEvent = false;
  }
}

void CaretTracker::MoveFocus(platform::WindowHandle window) {
  platform::WindowHandle old = focusWindow;
  if (owner) {
    owner->OnFocusLeft(old);
    owner->OnFocusEntered(window);
  }
  focusWindow = window;
}

// A caret event moves the caret (any window's: a background window blinking
// its caret is remembered too). Focus on a menu, a status bar and the like
// leaves the focus "nowhere", so that returning to the same edit window
// counts as entering it again. Focus, or a caret appearing, in another
// window outside our own main window moves the focus there.
void CaretTracker::OnAccessibleEvent(const AccessibleEvent& e) {
  const bool caretObject = e.objectId == kObjIdCaret;
  if (caretObject && e.locationOk) {
    SetCaret(e.window, ScreenRect{e.left, e.top, Add(e.left, e.width), Add(e.top, e.height)});
    m_caretFromEvent = true;
    if (owner) owner->RepositionPrompt();
  }

  if (e.roleOk && e.event == kEventObjectFocus && IsMenuLikeRole(e.role)) {
    MoveFocus(0);
    return;
  }

  const bool focusMoves =
      e.event == kEventObjectFocus ||
      (caretObject && (e.event == kEventObjectCreate || e.event == kEventObjectShow));
  if (!focusMoves || !owner || e.window == focusWindow) return;
  const platform::WindowHandle main = owner->MainWindow();
  if (e.window == main || TopLevelOf(e.window) == main) return;
  MoveFocus(e.window);
}

// Below the caret when the focused window's caret is known and it sits in the
// foreground window; inside Word's documents where Word puts the selection;
// otherwise the centre of the foreground window. Five pixels lower, so the
// list does not cover the line. A caret inside our own windows gives (0, 0),
// which the main window takes as "do not show".
ScreenPoint CaretTracker::GetCaretPoint() {
  ScreenPoint point;
  if (!owner) return point;
  LearnCaretFromGuiThread();

  const platform::WindowHandle root = TopLevelOf(caretWindow);
  const platform::WindowHandle foreground = m_caretDesktop.ForegroundWindow();
  if (root == owner->MainWindow()) return point;

  if (m_desktop.WindowClassName(focusWindow) == kWordDocumentClass) {
    ScreenPoint word;
    if (m_word && m_word->GetWordCaretPos(word)) point = word;
  } else if ((caretWindow == foreground || root == foreground) && focusWindow == caretWindow) {
    point = ScreenPoint{caretRight, caretBottom};
  } else {
    ScreenRect rect;
    if (m_caretDesktop.WindowRect(foreground, rect)) {
      point.x = Add(rect.left, (static_cast<std::int64_t>(rect.right) - rect.left) / 2);
      point.y = Add(rect.top, (static_cast<std::int64_t>(rect.bottom) - rect.top) / 2);
    }
  }
  point.y = Add(point.y, 5);
  return point;
}

// Password boxes are never followed, whatever the rules say: what is typed
// there must not reach the buffer, the prompt or the learned words. Then an
// edit-box rule on the window or its nearest listed ancestor decides; else a
// window that has shown a caret is a typing window, and so is Word's
// document window, which draws its own.
bool CaretTracker::IsTypingWindow() {
  refusal = Refusal::kNone;
  if (focusWindow && m_caretDesktop.IsPasswordEdit(focusWindow)) {
    refusal = Refusal::kPassword;
    return false;
  }
  int rule = m_config.EditBoxRule(focusWindow);
  if (rule == 1) return true;
  if (rule == 0) {
    refusal = Refusal::kEditBoxRule;
    return false;
  }

  LearnCaretFromGuiThread();
  if (focusWindow == caretWindow) return true;
  if (owner && m_desktop.WindowClassName(focusWindow) == kWordDocumentClass) return true;
  refusal = focusWindow ? Refusal::kNoCaret : Refusal::kNoFocus;
  return false;
}

}  // namespace output
