// Fakes for the output tests: a US-layout keyboard and a clipboard that log
// every call in one list, so that their order can be checked; the simulated
// desktop's windows with rectangles and carets; an owner that records what
// the caret tracker tells it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "output/CaretTracker.h"
#include "platform/Keyboard.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimInput.h"

namespace output_test {

using output::ScreenRect;
using platform::WindowHandle;

// What the US keyboard layout answers for VkKeyScanExA (low byte the key,
// bit 8 Shift, bit 9 Ctrl; -1 for characters it cannot type), as the
// simulated keyboard has it.
inline std::int16_t UsLayout(char c) {
  static platform::sim::SimDesktop desktop;
  static platform::sim::SimClipboard clipboard;
  static platform::sim::SimKeyboard keyboard(desktop, clipboard);
  return keyboard.VkKeyScan(c);
}

struct Event {
  enum Kind { kKey, kUnicode, kOpen, kEmpty, kSetText, kClose };
  Kind kind;
  std::uint8_t vk = 0;
  std::uint16_t scan = 0;
  std::uint32_t flags = 0;
  char16_t unit = 0;
  bool up = false;
  std::string text = {};
  std::uintptr_t extraInfo = 0;
};

// The keyboard and the clipboard of one simulated session.
class Recorder final : public platform::KeyboardOutput, public platform::Clipboard {
 public:
  // Keyboard.
  void KeyEvent(std::uint8_t vk, std::uint16_t scan, std::uint32_t flags) override {
    const bool up = (flags & platform::kKeyUp) != 0;
    events.push_back({.kind = Event::kKey, .vk = vk, .scan = scan, .flags = flags, .up = up});
  }
  void UnicodeEvent(char16_t unit, bool up, std::uintptr_t extraInfo) override {
    events.push_back({.kind = Event::kUnicode, .unit = unit, .up = up, .extraInfo = extraInfo});
  }
  std::int16_t VkKeyScan(char c) override {
    auto it = layoutOverrides.find(c);
    return it != layoutOverrides.end() ? it->second : UsLayout(c);
  }
  bool CapsLockOn() override { return capsLock; }

  // Clipboard.
  bool Open() override {
    events.push_back({.kind = Event::kOpen});
    open = !clipboardBusy;
    return open;
  }
  void Empty() override {
    events.push_back({.kind = Event::kEmpty});
    if (open) clipboardText.clear();
  }
  bool SetText(const std::string& text) override {
    events.push_back({.kind = Event::kSetText, .text = text});
    if (outOfMemory || !open) return false;
    clipboardText = text;
    return true;
  }
  // An offer is traced as "set" and taken at once (the fake has no reader).
  bool OfferText(const std::string& text) override { return SetText(text); }
  bool OfferTaken() override { return true; }
  void Close() override {
    events.push_back({.kind = Event::kClose});
    open = false;
  }
  // The text as the one format, untraced.
  std::vector<Item> Contents() override {
    if (clipboardText.empty()) return {};
    return {Item{1, clipboardText + '\0'}};
  }
  bool SetContents(const std::vector<Item>& items) override {
    clipboardText.clear();
    for (const Item& item : items)
      if (item.format == 1) clipboardText = item.bytes.substr(0, item.bytes.find('\0'));
    return true;
  }
  std::uint32_t SequenceNumber() override { return static_cast<std::uint32_t>(events.size()); }

  // The events as a line: "+A" press, "-A" release, "u+00E9"/"u-00E9" for
  // Unicode events, and the clipboard calls by name.
  std::string Trace() const {
    static const char* const kClipboardCalls[] = {"open", "empty", "set", "close"};
    std::string out;
    for (const Event& e : events) {
      if (!out.empty()) out += ' ';
      if (e.kind == Event::kKey) {
        out += (e.up ? '-' : '+') + KeyName(e.vk);
      } else if (e.kind == Event::kUnicode) {
        out += std::string(e.up ? "u-" : "u+") + Hex(e.unit);
      } else {
        out += kClipboardCalls[e.kind - Event::kOpen];
      }
    }
    return out;
  }

  // What a US-layout text box would show after the key events: characters,
  // "{Left}" and the like for keys that type nothing, "{PASTE:text}" for
  // Ctrl+V (with what the clipboard held), "{U+XXXX}" for Unicode events.
  std::string Typed() const {
    std::string out, clip;
    bool shift = false, ctrl = false;
    for (const Event& e : events) {
      if (e.kind == Event::kSetText) clip = e.text;
      if (e.kind == Event::kUnicode && !e.up) out += "{U+" + Hex(e.unit) + "}";
      if (e.kind != Event::kKey) continue;
      if (e.vk == 16) shift = !e.up;
      if (e.vk == 17) ctrl = !e.up;
      if (e.up || e.vk == 16 || e.vk == 17) continue;
      if (ctrl && e.vk == 'V') {
        out += "{PASTE:" + clip + "}";
      } else if (e.vk >= 'A' && e.vk <= 'Z') {
        out += char(shift != capsLock ? e.vk : e.vk - 'A' + 'a');
      } else {
        out += CharFor(e.vk, shift);
      }
    }
    return out;
  }

  std::vector<Event> events;
  std::map<char, std::int16_t> layoutOverrides;
  bool capsLock = false, clipboardBusy = false, outOfMemory = false, open = false;
  std::string clipboardText;

 private:
  static std::string Hex(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value);
    return text;
  }
  static std::string KeyName(std::uint8_t vk) {
    static const std::map<int, std::string> names = {
        {8, "Back"}, {9, "Tab"},   {13, "Enter"}, {16, "Shift"}, {17, "Ctrl"},
        {32, "Space"}, {33, "PgUp"}, {34, "PgDn"}, {35, "End"},   {36, "Home"},
        {37, "Left"},  {38, "Up"},   {40, "Down"}, {46, "Del"}};
    if (auto it = names.find(vk); it != names.end()) return it->second;
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return std::string(1, char(vk));
    return "#" + std::to_string(vk);
  }
  // The character of a key other than a letter, from Tab up (Backspace
  // types none); Enter types a line break.
  static std::string CharFor(std::uint8_t vk, bool shift) {
    if (vk == 13) return "\r\n";
    for (int c = '\t'; c < 128; ++c) {
      if (UsLayout(char(c)) == (shift ? 0x100 | vk : vk)) return std::string(1, char(c));
    }
    return "{" + KeyName(vk) + "}";
  }
};

// The simulated desktop's windows (`windows`, the platform::Desktop) with
// what the caret tracker asks besides: a rectangle or a caret of the
// window's thread only where one was set.
class FakeDesktop final : public output::CaretDesktop {
 public:
  WindowHandle Add(const std::string& className, WindowHandle parent = 0, int controlId = 0) {
    return windows.AddWindow(className, controlId, parent);
  }
  void SetRect(WindowHandle w, ScreenRect rect) { rects_[w] = rect; }
  void SetPassword(WindowHandle w) { windows.MakeTextBox(w, true); }
  void SetThreadCaret(WindowHandle w, ScreenRect c) { carets_[w] = c; }

  WindowHandle ForegroundWindow() const override { return foreground; }
  bool WindowRect(WindowHandle w, ScreenRect& rect) const override { return Read(rects_, w, rect); }
  bool IsPasswordEdit(WindowHandle w) const override { return windows.IsPassword(w); }
  bool GuiThreadCaret(WindowHandle w, ScreenRect& caret) const override {
    ++threadCaretQueries;
    return Read(carets_, w, caret);
  }

  platform::sim::SimDesktop windows;
  WindowHandle foreground = 0;
  mutable int threadCaretQueries = 0;

 private:
  static bool Read(const std::map<WindowHandle, ScreenRect>& stored, WindowHandle w, ScreenRect& out) {
    auto it = stored.find(w);
    if (it != stored.end()) out = it->second;
    return it != stored.end();
  }
  std::map<WindowHandle, ScreenRect> rects_, carets_;
};

// Records the tracker's calls as "reposition", "left:<h>", "entered:<h>",
// and what the tracker held as its focus while it told of an entered window.
class RecordingOwner : public output::CaretOwner {
 public:
  explicit RecordingOwner(WindowHandle main) : main_(main) {}
  void RepositionPrompt() override { calls.push_back("reposition"); }
  void OnFocusLeft(WindowHandle w) override { calls.push_back("left:" + std::to_string(w)); }
  void OnFocusEntered(WindowHandle w) override {
    if (tracker) focusDuringEnter = tracker->focusWindow;
    calls.push_back("entered:" + std::to_string(w));
  }
  WindowHandle MainWindow() const override { return main_; }

  std::vector<std::string> calls;
  const output::CaretTracker* tracker = nullptr;
  WindowHandle focusDuringEnter = 0;

 private:
  WindowHandle main_;
};

class FakeWord final : public output::WordCaretQuery {
 public:
  bool GetWordCaretPos(output::ScreenPoint& point) override {
    ++queries;
    point = running ? selection : output::ScreenPoint{};
    return running;
  }
  bool running = false;
  output::ScreenPoint selection;
  int queries = 0;
};

}  // namespace output_test
