// Synthetic keyboard input and the clipboard: what the typing engine needs to
// type into another application.
//
// The Windows backend calls the system (keybd_event, SendInput for Unicode
// events, VkKeyScanExA with the layout of our own thread, GetKeyState, the
// clipboard functions). The simulated desktop (src/platform/sim/) implements
// the same interfaces and applies the events to its focused text box. The
// posix backend has no keyboard and no clipboard: events go nowhere and the
// clipboard is never available.
//
// Threading: the user-interface thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Flags of a key event (the values of KEYEVENTF_*).
enum KeyEventFlags : std::uint32_t {
  kKeyExtended = 0x0001,
  kKeyUp = 0x0002,
};

// Every event we synthesize carries this hardware scan code, so that our own
// keyboard hook can tell our keys from the user's.
inline constexpr std::uint16_t kSyntheticScanCode = 0xEE;
// A Unicode event carries its character where the scan code would be, so
// ours are told apart by their extra information instead.
inline constexpr std::uintptr_t kSyntheticExtraInfo = 0x51554C4C;

class KeyboardOutput {
 public:
  virtual ~KeyboardOutput() = default;
  // Queues one key event (press, or release with kKeyUp) for the window
  // that has the keyboard focus; nothing waits for it to be handled.
  virtual void KeyEvent(std::uint8_t virtualKey, std::uint16_t scanCode, std::uint32_t flags) = 0;
  // Queues a press or release that carries a UTF-16 code unit instead of a
  // key, for characters that no key of the layout types; `extraInfo` goes
  // with it (kSyntheticExtraInfo marks ours).
  virtual void UnicodeEvent(char16_t unit, bool up, std::uintptr_t extraInfo) = 0;
  // The key for an ANSI character in our own thread's keyboard layout: low
  // byte the virtual key, high byte the shift state (bit 0 Shift, 1 Ctrl,
  // 2 Alt); -1 when the layout has no key for it.
  virtual std::int16_t VkKeyScan(char character) = 0;
  // Whether Caps Lock is toggled on.
  virtual bool CapsLockOn() = 0;
};

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Opens the clipboard without an owner window; false when another
  // program holds it.
  virtual bool Open() = 0;
  virtual void Empty() = 0;
  // Puts text (ANSI bytes, a NUL is added) on the open clipboard as CF_TEXT;
  // false when no memory was available.
  virtual bool SetText(const std::string& text) = 0;
  // Offers text as CF_TEXT on the open clipboard without handing it over:
  // the system asks us for it when a program reads it (delayed rendering).
  // False when it cannot be offered.
  virtual bool OfferText(const std::string& text) = 0;
  // Whether a program has taken the text offered last.
  virtual bool OfferTaken() = 0;
  virtual void Close() = 0;

  // One format of the clipboard's content and its bytes.
  struct Item {
    std::uint32_t format = 0;
    std::string bytes;
    bool operator==(const Item&) const = default;
  };
  // Copies every format the open clipboard holds as plain memory; formats
  // held as system objects the clipboard makes from another format (bitmaps
  // from device-independent bitmaps, say) are left out. Empty for an empty
  // clipboard.
  virtual std::vector<Item> Contents() = 0;
  // Puts items on the open clipboard (emptied first); false when memory ran
  // out for one of them (the others are set).
  virtual bool SetContents(const std::vector<Item>& items) = 0;
  // Changes whenever the clipboard's content changes, whoever changes it;
  // handing over an offered text is no change.
  virtual std::uint32_t SequenceNumber() = 0;
};

KeyboardOutput& SystemKeyboard();
Clipboard& SystemClipboard();

}  // namespace platform
