// Fakes for the output tests: a keyboard with the US layout and a clipboard
// that record every call in one log, so that the order of clipboard calls
// and key events can be checked; a desktop with windows, a foreground
// window, rectangles and carets; and an owner that records what the caret
// tracker tells it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "output/CaretTracker.h"
#include "platform/codepage.h"
#include "platform/desktop.h"
#include "platform/keyboard.h"
#include "platform/process.h"

namespace output_test {

// What the US keyboard layout answers for VkKeyScanExA: low byte the key,
// bit 8 Shift, bit 9 Ctrl; -1 for characters it cannot type.
inline std::int16_t UsLayout(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u >= 'a' && u <= 'z') return static_cast<std::int16_t>(u - 'a' + 'A');
  if (u >= 'A' && u <= 'Z') return static_cast<std::int16_t>(0x100 | u);
  if (u >= '0' && u <= '9') return static_cast<std::int16_t>(u);
  static const std::string shiftedDigits = ")!@#$%^&*(";
  if (auto pos = shiftedDigits.find(c); pos != std::string::npos) {
    return static_cast<std::int16_t>(0x100 | ('0' + pos));
  }
  struct Oem { char plain, shifted; std::uint8_t vk; };
  static const Oem oem[] = {{';', ':', 0xBA}, {'=', '+', 0xBB}, {',', '<', 0xBC}, {'-', '_', 0xBD},
                            {'.', '>', 0xBE}, {'/', '?', 0xBF}, {'`', '~', 0xC0}, {'[', '{', 0xDB},
                            {'\\', '|', 0xDC}, {']', '}', 0xDD}, {'\'', '"', 0xDE}};
  for (const Oem& o : oem) {
    if (c == o.plain) return o.vk;
    if (c == o.shifted) return static_cast<std::int16_t>(0x100 | o.vk);
  }
  switch (u) {
    case ' ': return 0x20;
    case '\r': return 0x0D;
    case '\n': return 0x20D;  // Ctrl+Enter
    case '\t': return 0x09;
    case '\b': return 0x08;
    default: return -1;
  }
}

struct Event {
  enum Kind { kKey, kUnicode, kOpen, kEmpty, kSetText, kClose };
  explicit Event(Kind k) : kind(k) {}
  Kind kind;
  std::uint8_t vk = 0;
  std::uint16_t scan = 0;
  std::uint32_t flags = 0;
  char16_t unit = 0;
  bool up = false;
  std::string text;
};

// The keyboard and the clipboard of one simulated session.
class Recorder final : public platform::KeyboardOutput, public platform::Clipboard {
 public:
  // Keyboard.
  void KeyEvent(std::uint8_t vk, std::uint16_t scan, std::uint32_t flags) override {
    Event e(Event::kKey);
    e.vk = vk;
    e.scan = scan;
    e.flags = flags;
    e.up = (flags & platform::kKeyUp) != 0;
    events.push_back(e);
  }
  void UnicodeEvent(char16_t unit, bool up) override {
    Event e(Event::kUnicode);
    e.unit = unit;
    e.up = up;
    events.push_back(e);
  }
  std::int16_t VkKeyScan(char c) override {
    ++lookups;
    auto it = layoutOverrides.find(c);
    return it != layoutOverrides.end() ? it->second : UsLayout(c);
  }
  bool CapsLockOn() override { return capsLock; }

  // Clipboard.
  bool Open() override {
    events.push_back(Event(Event::kOpen));
    if (clipboardBusy) return false;
    open = true;
    return true;
  }
  void Empty() override {
    events.push_back(Event(Event::kEmpty));
    if (open) clipboardText.clear();
  }
  bool SetText(const std::string& text) override {
    Event e(Event::kSetText);
    e.text = text;
    events.push_back(e);
    if (outOfMemory || !open) return false;
    clipboardText = text;
    return true;
  }
  void Close() override {
    events.push_back(Event(Event::kClose));
    open = false;
  }
  // The text as the one format, untraced (the keeper's own tests use the
  // simulated clipboard).
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
    std::string out;
    for (const Event& e : events) {
      if (!out.empty()) out += ' ';
      static const char* const kClipboardCalls[] = {"open", "empty", "set", "close"};
      if (e.kind == Event::kKey) {
        out += (e.up ? '-' : '+') + KeyName(e.vk);
      } else if (e.kind == Event::kUnicode) {
        char unit[16];
        std::snprintf(unit, sizeof unit, "u%c%04X", e.up ? '-' : '+', unsigned(e.unit));
        out += unit;
      } else {
        out += kClipboardCalls[e.kind - Event::kOpen];
      }
    }
    return out;
  }

  // What a US-layout text box would show after the key events: characters,
  // "{LEFT}" and the like for keys that type nothing, "{PASTE:text}" for
  // Ctrl+V (with what the clipboard held), "{U+XXXX}" for Unicode events.
  std::string Typed() const {
    std::string out;
    bool shift = false, ctrl = false;
    std::string clip;
    for (const Event& e : events) {
      if (e.kind == Event::kSetText) clip = e.text;
      if (e.kind == Event::kUnicode && !e.up) {
        char unit[16];
        std::snprintf(unit, sizeof unit, "{U+%04X}", unsigned(e.unit));
        out += unit;
      }
      if (e.kind != Event::kKey) continue;
      if (e.vk == 16) { shift = !e.up; continue; }
      if (e.vk == 17) { ctrl = !e.up; continue; }
      if (e.up) continue;
      if (ctrl && e.vk == 'V') { out += "{PASTE:" + clip + "}"; continue; }
      out += CharFor(e.vk, shift);
    }
    return out;
  }

  int KeyEventCount() const {
    return int(std::count_if(events.begin(), events.end(),
                             [](const Event& e) { return e.kind == Event::kKey; }));
  }

  std::vector<Event> events;
  std::map<char, std::int16_t> layoutOverrides;
  bool capsLock = false;
  bool clipboardBusy = false;
  bool outOfMemory = false;
  bool open = false;
  std::string clipboardText;
  int lookups = 0;

 private:
  // The keys that type no character: their name in Trace and in Typed.
  struct NamedKey { std::uint8_t vk; const char* name; const char* typed; };
  static constexpr NamedKey kNamed[] = {
      {8, "Back", "{BS}"},     {9, "Tab", "\t"},        {13, "Enter", "\r\n"},
      {16, "Shift", ""},       {17, "Ctrl", ""},        {33, "PgUp", "{PGUP}"},
      {34, "PgDn", "{PGDN}"},  {35, "End", "{END}"},    {36, "Home", "{HOME}"},
      {37, "Left", "{LEFT}"},  {38, "Up", "{UP}"},      {40, "Down", "{DOWN}"},
      {46, "Del", "{DEL}"}};

  static std::string KeyName(std::uint8_t vk) {
    for (const NamedKey& k : kNamed)
      if (k.vk == vk) return k.name;
    if (vk == 32) return "Space";
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return std::string(1, char(vk));
    return "#" + std::to_string(vk);
  }

  std::string CharFor(std::uint8_t vk, bool shift) const {
    for (const NamedKey& k : kNamed)
      if (k.vk == vk) return k.typed;
    if (vk >= 'A' && vk <= 'Z') {
      bool upper = shift != capsLock;
      return std::string(1, char(upper ? vk : vk - 'A' + 'a'));
    }
    for (int c = 1; c < 128; ++c) {
      if (UsLayout(char(c)) == (shift ? 0x100 | vk : vk)) return std::string(1, char(c));
    }
    return "{#" + std::to_string(vk) + "}";
  }
};

// A desktop of windows with a class, a control id, a parent, an optional
// rectangle and an optional caret of their thread.
class FakeDesktop final : public platform::Desktop, public output::CaretDesktop {
 public:
  platform::WindowHandle Add(const std::string& className, platform::WindowHandle parent = 0,
                             int controlId = 0) {
    platform::WindowHandle h = next_++;
    windows_[h].className = className;
    windows_[h].parent = parent;
    windows_[h].controlId = controlId;
    return h;
  }
  void SetRect(platform::WindowHandle w, output::ScreenRect rect) { windows_[w].rect = rect; windows_[w].hasRect = true; }
  void SetPassword(platform::WindowHandle w) { windows_[w].password = true; }
  void SetThreadCaret(platform::WindowHandle w, output::ScreenRect caret) {
    windows_[w].caret = caret;
    windows_[w].hasCaret = true;
  }

  // platform::Desktop
  bool IsWindowValid(platform::WindowHandle w) const override { return Find(w) != nullptr; }
  std::string WindowClassName(platform::WindowHandle w) const override {
    return Find(w) ? Find(w)->className : std::string();
  }
  int WindowControlId(platform::WindowHandle w) const override {
    return Find(w) ? Find(w)->controlId : 0;
  }
  platform::WindowHandle WindowParent(platform::WindowHandle w) const override {
    return Find(w) ? Find(w)->parent : 0;
  }
  platform::ProcessId WindowProcessId(platform::WindowHandle) const override { return 0; }

  // output::CaretDesktop
  platform::WindowHandle ForegroundWindow() const override { return foreground; }
  bool WindowRect(platform::WindowHandle w, output::ScreenRect& rect) const override {
    if (!Find(w) || !Find(w)->hasRect) return false;
    rect = Find(w)->rect;
    return true;
  }
  bool IsPasswordEdit(platform::WindowHandle w) const override {
    return Find(w) && Find(w)->password;
  }
  bool GuiThreadCaret(platform::WindowHandle w, output::ScreenRect& caret) const override {
    ++threadCaretQueries;
    if (!Find(w) || !Find(w)->hasCaret) return false;
    caret = Find(w)->caret;
    return true;
  }

  platform::WindowHandle foreground = 0;
  mutable int threadCaretQueries = 0;

 private:
  struct Window {
    std::string className;
    platform::WindowHandle parent = 0;
    int controlId = 0;
    bool hasRect = false, password = false, hasCaret = false;
    output::ScreenRect rect, caret;
  };
  const Window* Find(platform::WindowHandle w) const {
    auto it = windows_.find(w);
    return it == windows_.end() ? nullptr : &it->second;
  }
  std::map<platform::WindowHandle, Window> windows_;
  platform::WindowHandle next_ = 0x100;
};

class NoProcesses final : public platform::ProcessSource {
 public:
  bool ListProcesses(std::vector<platform::ProcessInfo>& out) override {
    out.clear();
    return true;
  }
};

// Records the tracker's calls as "reposition", "left:<h>", "entered:<h>".
class RecordingOwner : public output::CaretOwner {
 public:
  explicit RecordingOwner(platform::WindowHandle main) : main_(main) {}
  void RepositionPrompt() override { calls.push_back("reposition"); }
  void OnFocusLeft(platform::WindowHandle w) override { calls.push_back("left:" + std::to_string(w)); }
  void OnFocusEntered(platform::WindowHandle w) override { calls.push_back("entered:" + std::to_string(w)); }
  platform::WindowHandle MainWindow() const override { return main_; }

  std::vector<std::string> calls;

 private:
  platform::WindowHandle main_;
};

class FakeWord final : public output::WordCaretQuery {
 public:
  bool GetWordCaretPos(output::ScreenPoint& point) override {
    ++queries;
    point = output::ScreenPoint{};
    if (!running) return false;
    point = selection;
    return true;
  }
  bool running = false;
  output::ScreenPoint selection;
  int queries = 0;
};

// Selects a code page for one test and restores the previous one.
class CodePageGuard {
 public:
  CodePageGuard() : saved_(platform::AnsiCodePage()) {}
  ~CodePageGuard() { platform::SetAnsiCodePage(saved_); }
  bool Use(int codePage) { return platform::SetAnsiCodePage(codePage); }

 private:
  int saved_;
};

}  // namespace output_test
