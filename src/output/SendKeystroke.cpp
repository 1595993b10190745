#include "output/SendKeystroke.h"

#include <string_view>

#include "platform/CodePage.h"

namespace output {
namespace {

void Press(platform::KeyboardOutput& keyboard, std::uint8_t vk) {
  keyboard.KeyEvent(vk, platform::kSyntheticScanCode, 0);
}

void Release(platform::KeyboardOutput& keyboard, std::uint8_t vk) {
  keyboard.KeyEvent(vk, platform::kSyntheticScanCode, platform::kKeyUp);
}

// A character that no key of the layout types (a byte from 0x80 up in a
// layout without it, a stray lead byte) is sent as what it is, a Unicode
// character, rather than as the key the failed lookup's 0xFF would name.
// Marked as ours like every other key we send, so that our hook lets it by.
void SendAsUnicode(platform::KeyboardOutput& keyboard, char character) {
  std::u16string units = platform::AnsiToUtf16(std::string_view(&character, 1));
  for (char16_t unit : units) {
    keyboard.UnicodeEvent(unit, false, platform::kSyntheticExtraInfo);
    keyboard.UnicodeEvent(unit, true, platform::kSyntheticExtraInfo);
  }
}

}  // namespace

// Letters follow Caps Lock the way the user's own typing does: with Caps Lock
// on, a lower-case letter needs Shift and an upper-case one must go without
// it. Every other character takes the Shift state that the layout reports;
// the layout's Ctrl and Alt bits are dropped, so AltGr characters come out
// as their unmodified key. The character compares as a signed byte, so bytes
// from 0x80 up are never treated as letters here.
int SendKeystroke(platform::KeyboardOutput& keyboard, char character, std::uint8_t virtualKey) {
  if (character == 0 && virtualKey == 0) return 0;
  if (virtualKey != 0) {
    Press(keyboard, virtualKey);
    Release(keyboard, virtualKey);
  }
  if (character == 0) return 1;

  std::int16_t scan = keyboard.VkKeyScan(character);
  if (scan == -1) {
    SendAsUnicode(keyboard, character);
    return 1;
  }
  auto vk = static_cast<std::uint8_t>(static_cast<std::uint16_t>(scan) & 0xFF);
  bool layoutShift = (static_cast<std::uint16_t>(scan) & 0x100) != 0;
  bool capsLock = keyboard.CapsLockOn();

  auto ch = static_cast<signed char>(character);
  bool shift;
  if (ch >= 'a' && ch <= 'z') {
    shift = capsLock;
  } else if (ch >= 'A' && ch <= 'Z') {
    shift = !capsLock;
  } else {
    shift = layoutShift;
  }

  if (shift) Press(keyboard, kVkShift);
  Press(keyboard, vk);
  Release(keyboard, vk);
  if (shift) Release(keyboard, kVkShift);
  return 1;
}

int SendKeystroke(char character, std::uint8_t virtualKey) {
  return SendKeystroke(platform::SystemKeyboard(), character, virtualKey);
}

}  // namespace output
