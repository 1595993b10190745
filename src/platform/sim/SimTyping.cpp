// The simulated desktop's screen, focus and text boxes.
#include <algorithm>

#include "platform/sim/SimDesktop.h"

namespace platform::sim {

namespace {

constexpr std::uint32_t kEventObjectCreate = 0x8000;
constexpr std::uint32_t kEventObjectShow = 0x8002;
constexpr std::uint32_t kEventObjectFocus = 0x8005;
constexpr std::uint32_t kEventObjectLocationChange = 0x800B;
constexpr std::int32_t kObjIdClient = -4;
constexpr std::int32_t kObjIdCaret = -8;
constexpr std::uint32_t kRoleText = 42;
constexpr std::uint32_t kRoleClient = 10;
constexpr int kCharWidth = 8;
constexpr int kLineHeight = 16;

}  // namespace

SimDesktop::Window* SimDesktop::Find(WindowHandle window) {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second;
}

const SimDesktop::Window* SimDesktop::Find(WindowHandle window) const {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second;
}

void SimDesktop::SetWindowRect(WindowHandle window, const SimRect& rect) {
  if (Window* w = Find(window)) w->rect = rect;
}

bool SimDesktop::WindowRect(WindowHandle window, SimRect& rect) const {
  const Window* w = Find(window);
  if (!w) return false;
  rect = w->rect;
  return true;
}

WindowHandle SimDesktop::TopLevelOf(WindowHandle window) const {
  for (int depth = 0; depth < 64; ++depth) {
    const Window* w = Find(window);
    if (!w || w->parent == 0 || !Find(w->parent)) return window;
    window = w->parent;
  }
  return window;
}

void SimDesktop::Send(const SimAccessibleEvent& e) const {
  if (sink_) sink_(e);
}

void SimDesktop::SendCaret(WindowHandle window, std::uint32_t event) const {
  SimRect caret;
  if (!caretEvents_ || !CaretRect(window, caret)) return;
  SimAccessibleEvent e;
  e.event = event;
  e.window = window;
  e.objectId = kObjIdCaret;
  e.locationOk = true;
  e.left = caret.left;
  e.top = caret.top;
  e.width = caret.right - caret.left;
  e.height = caret.bottom - caret.top;
  e.roleOk = true;
  e.role = 7;  // the caret's own role
  Send(e);
}

void SimDesktop::SetFocus(WindowHandle window) {
  if (window != 0 && !Find(window)) return;
  focus_ = window;
  if (window == 0) return;
  foreground_ = TopLevelOf(window);
  if (Window* top = Find(foreground_)) top->lastFocus = window;
  SimAccessibleEvent e;
  e.event = kEventObjectFocus;
  e.window = window;
  e.objectId = kObjIdClient;
  e.roleOk = true;
  e.role = IsTextBox(window) ? kRoleText : kRoleClient;
  Send(e);
  if (IsTextBox(window)) {
    SendCaret(window, kEventObjectCreate);
    SendCaret(window, kEventObjectShow);
  }
}

void SimDesktop::SetForeground(WindowHandle window) {
  const Window* w = Find(window);
  if (!w) return;
  WindowHandle target = w->lastFocus && Find(w->lastFocus) ? w->lastFocus : window;
  if (target == focus_ && foreground_ == TopLevelOf(window)) return;
  SetFocus(target);
}

void SimDesktop::FocusMenu(WindowHandle menuWindow, std::uint32_t role) {
  focus_ = 0;
  SimAccessibleEvent e;
  e.event = kEventObjectFocus;
  e.window = menuWindow;
  e.objectId = kObjIdClient;
  e.roleOk = true;
  e.role = role;
  Send(e);
}

void SimDesktop::MakeTextBox(WindowHandle window, bool password) {
  if (Window* w = Find(window)) {
    w->textBox = true;
    w->password = password;
  }
}

bool SimDesktop::IsTextBox(WindowHandle window) const {
  const Window* w = Find(window);
  return w && w->textBox;
}

bool SimDesktop::IsPassword(WindowHandle window) const {
  const Window* w = Find(window);
  return w && w->password;
}

std::string SimDesktop::Text(WindowHandle window) const {
  const Window* w = Find(window);
  return w ? w->text : std::string();
}

size_t SimDesktop::CaretPos(WindowHandle window) const {
  const Window* w = Find(window);
  return w ? w->caret : 0;
}

void SimDesktop::SetText(WindowHandle window, const std::string& text) {
  if (Window* w = Find(window)) {
    w->text = text;
    w->caret = text.size();
  }
}

bool SimDesktop::CaretRect(WindowHandle window, SimRect& rect) const {
  const Window* w = Find(window);
  if (!w || !w->textBox) return false;
  size_t lineStart = w->text.rfind('\n', w->caret == 0 ? std::string::npos : w->caret - 1);
  lineStart = lineStart == std::string::npos || w->caret == 0 ? 0 : lineStart + 1;
  int line = static_cast<int>(std::count(w->text.begin(), w->text.begin() + lineStart, '\n'));
  int column = static_cast<int>(w->caret - lineStart);
  rect.left = w->rect.left + 2 + column * kCharWidth;
  rect.top = w->rect.top + 2 + line * kLineHeight;
  rect.right = rect.left + 1;
  rect.bottom = rect.top + kLineHeight;
  return true;
}

bool SimDesktop::InsertText(const std::string& text) {
  Window* w = Find(focus_);
  if (!w || !w->textBox) return false;
  w->text.insert(w->caret, text);
  w->caret += text.size();
  SendCaret(focus_, kEventObjectLocationChange);
  return true;
}

namespace {

// Line start and end around a byte offset; lines end at CR LF (or LF).
size_t LineStart(const std::string& t, size_t pos) {
  while (pos > 0 && t[pos - 1] != '\n') --pos;
  return pos;
}

size_t LineEnd(const std::string& t, size_t pos) {
  while (pos < t.size() && t[pos] != '\r' && t[pos] != '\n') ++pos;
  return pos;
}

}  // namespace

bool SimDesktop::ApplyKey(std::uint8_t vk, bool ctrl, const std::function<std::string()>& paste) {
  Window* w = Find(focus_);
  if (!w || !w->textBox) return false;
  std::string& t = w->text;
  size_t& c = w->caret;
  auto pairBefore = [&] { return c >= 2 && t[c - 2] == '\r' && t[c - 1] == '\n'; };
  auto pairAfter = [&] { return c + 1 < t.size() && t[c] == '\r' && t[c + 1] == '\n'; };
  switch (vk) {
    case 0x08:  // Backspace
      if (c > 0) {
        size_t n = pairBefore() ? 2 : 1;
        t.erase(c - n, n);
        c -= n;
      }
      break;
    case 0x2E:  // Delete
      if (c < t.size()) t.erase(c, pairAfter() ? 2 : 1);
      break;
    case 0x25:  // Left
      if (c > 0) c -= pairBefore() ? 2 : 1;
      break;
    case 0x27:  // Right
      if (c < t.size()) c += pairAfter() ? 2 : 1;
      break;
    case 0x24:  // Home
      c = LineStart(t, c);
      break;
    case 0x23:  // End
      c = LineEnd(t, c);
      break;
    case 0x26:    // Up
    case 0x28: {  // Down
      size_t start = LineStart(t, c);
      size_t column = c - start;
      size_t target;
      if (vk == 0x26) {
        if (start == 0) break;
        target = LineStart(t, start - 1);
      } else {
        size_t end = LineEnd(t, c);
        if (end >= t.size()) break;
        target = end + (t[end] == '\r' && end + 1 < t.size() && t[end + 1] == '\n' ? 2 : 1);
      }
      c = std::min(target + column, LineEnd(t, target));
      break;
    }
    case 0x21:  // Page Up: a short box scrolls to its top
      c = 0;
      break;
    case 0x22:  // Page Down
      c = t.size();
      break;
    case 0x0D:  // Enter
      if (ctrl) return true;
      t.insert(c, "\r\n");
      c += 2;
      break;
    case 0x56:  // V: with Ctrl, paste
      if (!ctrl) return false;
      {
        const std::string pasted = paste();
        t.insert(c, pasted);
        c += pasted.size();
      }
      break;
    default:
      return false;
  }
  SendCaret(focus_, kEventObjectLocationChange);
  return true;
}

}  // namespace platform::sim
