// The simulated keyboard and clipboard. Key events reach the simulated
// desktop as they reach Windows: the low-level hook (when one is installed)
// sees every event first, with the text the key produces in a US layout, and
// may swallow it; a key that gets through is applied to the focused text box
// (characters, Backspace, Delete, arrows, Home/End, Enter as CR LF, Tab,
// Ctrl+V from the clipboard). Every event is recorded.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Keyboard.h"
#include "platform/sim/SimDesktop.h"

namespace platform::sim {

class SimClipboard final : public Clipboard {
 public:
  bool Open() override;
  void Empty() override;
  bool SetText(const std::string& text) override;
  bool OfferText(const std::string& text) override;
  bool OfferTaken() override { return taken_; }
  void Close() override;
  std::vector<Item> Contents() override;
  bool SetContents(const std::vector<Item>& items) override;
  std::uint32_t SequenceNumber() override { return sequence_; }

  // Another program holds the clipboard: Open fails.
  void SetHeldElsewhere(bool held) { heldElsewhere_ = held; }
  // Allocations for new clipboard text fail.
  void SetOutOfMemory(bool out) { outOfMemory_ = out; }
  // The CF_TEXT bytes, without the NUL; empty when there are none.
  std::string text() const;
  // What a program that pastes reads: the text, handed over when it was
  // only offered.
  std::string Paste();
  bool isOpen() const { return open_; }
  // What another program put there, formats in the order given.
  void ReplaceElsewhere(std::vector<Item> items);
  const std::vector<Item>& items() const { return items_; }

  static constexpr std::uint32_t kText = 1;  // CF_TEXT

 private:
  std::vector<Item> items_;
  std::uint32_t sequence_ = 1;
  bool open_ = false;
  bool heldElsewhere_ = false;
  bool taken_ = false;
  bool outOfMemory_ = false;
};

struct SimKeyRecord {
  std::uint8_t virtualKey = 0;
  std::uint16_t scanCode = 0;
  std::uint32_t flags = 0;
  char16_t unit = 0;  // for Unicode events
  bool swallowed = false;
};

class SimKeyboard final : public KeyboardOutput {
 public:
  // The hook sees wParam = the key's text bytes and lParam = virtual key in
  // bits 8-15 and phase (0 pressed, 1 released) in bits 0-3; it returns 0 to
  // swallow the key. Events with our synthetic scan code pass it by, as our
  // hook library ignores them.
  using Hook = std::function<int(std::uintptr_t wParam, std::intptr_t lParam)>;

  SimKeyboard(SimDesktop& desktop, SimClipboard& clipboard);

  void SetHook(Hook hook) { hook_ = std::move(hook); }

  void KeyEvent(std::uint8_t virtualKey, std::uint16_t scanCode, std::uint32_t flags) override;
  void UnicodeEvent(char16_t unit, bool up, std::uintptr_t extraInfo) override;
  std::int16_t VkKeyScan(char character) override;
  bool CapsLockOn() override { return capsLock_; }

  // The user's own keys (a hardware scan code, so the hook sees them).
  void Press(std::uint8_t virtualKey);
  void Release(std::uint8_t virtualKey);
  void Tap(std::uint8_t virtualKey);
  // Types each character with the keys a US layout needs (Shift as well).
  void Type(const std::string& text);

  // The text a key produces with the current Shift, Ctrl and Caps Lock
  // state in a US layout; empty for keys without text.
  std::string KeyText(std::uint8_t virtualKey) const;
  bool IsDown(std::uint8_t virtualKey) const { return down_[virtualKey]; }

  std::vector<SimKeyRecord> log;

 private:
  SimDesktop& desktop_;
  SimClipboard& clipboard_;
  Hook hook_;
  bool down_[256] = {};
  bool capsLock_ = false;
};

}  // namespace platform::sim
