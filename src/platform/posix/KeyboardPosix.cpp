// The posix build types into nothing: it has no desktop that could receive
// key events and no clipboard. Key events are dropped, no character has a
// key (so callers fall back to Unicode events, which are dropped too), Caps
// Lock is off, and the clipboard can never be opened, which callers treat as
// "held by another program" and skip the paste.
#include "platform/Keyboard.h"

namespace platform {
namespace {

class NoKeyboard final : public KeyboardOutput {
 public:
  void KeyEvent(std::uint8_t, std::uint16_t, std::uint32_t) override {}
  void UnicodeEvent(char16_t, bool, std::uintptr_t) override {}
  std::int16_t VkKeyScan(char) override { return -1; }
  bool CapsLockOn() override { return false; }
};

class NoClipboard final : public Clipboard {
 public:
  bool Open() override { return false; }
  void Empty() override {}
  bool SetText(const std::string&) override { return false; }
  bool OfferText(const std::string&) override { return false; }
  bool OfferTaken() override { return false; }
  void Close() override {}
  std::vector<Item> Contents() override { return {}; }
  bool SetContents(const std::vector<Item>&) override { return false; }
  std::uint32_t SequenceNumber() override { return 0; }
};

}  // namespace

KeyboardOutput& SystemKeyboard() {
  static NoKeyboard keyboard;
  return keyboard;
}

Clipboard& SystemClipboard() {
  static NoClipboard clipboard;
  return clipboard;
}

}  // namespace platform
