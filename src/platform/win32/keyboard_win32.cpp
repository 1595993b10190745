// Key events and the clipboard through the system.
#include "platform/keyboard.h"

#include <windows.h>
// <windows.h> maps VkKeyScan to VkKeyScanA, which would rename our method.
#undef VkKeyScan

#include <cstring>

namespace platform {
namespace {

class Win32Keyboard final : public KeyboardOutput {
 public:
  void KeyEvent(std::uint8_t virtualKey, std::uint16_t scanCode, std::uint32_t flags) override {
    // keybd_event takes an 8-bit scan code; ours (0xEE) fits.
    keybd_event(virtualKey, static_cast<BYTE>(scanCode), flags, 0);
  }

  void UnicodeEvent(char16_t unit, bool up) override {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = 0;
    input.ki.wScan = static_cast<WORD>(unit);
    input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
    input.ki.time = 0;
    input.ki.dwExtraInfo = 0;
    SendInput(1, &input, sizeof input);
  }

  std::int16_t VkKeyScan(char character) override {
    // The layout of our own thread, not that of the target window's thread.
    return static_cast<std::int16_t>(VkKeyScanExA(character, GetKeyboardLayout(0)));
  }

  bool CapsLockOn() override { return (GetKeyState(VK_CAPITAL) & 1) != 0; }
};

class Win32Clipboard final : public Clipboard {
 public:
  bool Open() override { return OpenClipboard(nullptr) != 0; }

  void Empty() override { EmptyClipboard(); }

  bool SetText(const std::string& text) override {
    HGLOBAL block = GlobalAlloc(GMEM_DDESHARE, text.size() + 1);
    if (!block) return false;
    char* bytes = static_cast<char*>(GlobalLock(block));
    if (!bytes) {
      GlobalFree(block);
      return false;
    }
    if (!text.empty()) std::memcpy(bytes, text.data(), text.size());
    bytes[text.size()] = '\0';
    GlobalUnlock(block);
    // On success the clipboard owns the block; otherwise it is still ours.
    if (!SetClipboardData(CF_TEXT, block)) GlobalFree(block);
    return true;
  }

  void Close() override { CloseClipboard(); }
};

}  // namespace

KeyboardOutput& SystemKeyboard() {
  static Win32Keyboard keyboard;
  return keyboard;
}

Clipboard& SystemClipboard() {
  static Win32Clipboard clipboard;
  return clipboard;
}

}  // namespace platform
