// Key events and the clipboard through the system.
#include "platform/Keyboard.h"

#include <windows.h>
// <windows.h> maps VkKeyScan to VkKeyScanA, which would rename our method.
#undef VkKeyScan

#include <cstring>
#include <string>
#include <vector>

namespace platform {
namespace {

class Win32Keyboard final : public KeyboardOutput {
 public:
  void KeyEvent(std::uint8_t virtualKey, std::uint16_t scanCode, std::uint32_t flags) override {
    // keybd_event takes an 8-bit scan code; ours (0xEE) fits.
    keybd_event(virtualKey, static_cast<BYTE>(scanCode), flags, 0);
  }

  void UnicodeEvent(char16_t unit, bool up, std::uintptr_t extraInfo) override {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = 0;
    input.ki.wScan = static_cast<WORD>(unit);
    input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
    input.ki.time = 0;
    input.ki.dwExtraInfo = extraInfo;
    SendInput(1, &input, sizeof input);
  }

  std::int16_t VkKeyScan(char character) override {
    // The layout of our own thread, not that of the target window's thread.
    return static_cast<std::int16_t>(VkKeyScanExA(character, GetKeyboardLayout(0)));
  }

  bool CapsLockOn() override { return (GetKeyState(VK_CAPITAL) & 1) != 0; }
};

// The clipboard is opened with a hidden window of ours as its owner, which
// the system asks for an offered text when a program reads it.
class Win32Clipboard final : public Clipboard {
 public:
  bool Open() override { return OpenClipboard(Owner()) != 0; }

  void Empty() override { EmptyClipboard(); }

  bool SetText(const std::string& text) override { return PutBlock(CF_TEXT, text.data(), text.size(), true); }

  bool OfferText(const std::string& text) override {
    HWND owner = Owner();
    if (!owner || GetClipboardOwner() != owner) return false;
    m_offered = text;
    m_taken = false;
    SetClipboardData(CF_TEXT, nullptr);
    return IsClipboardFormatAvailable(CF_TEXT) != 0;
  }

  bool OfferTaken() override { return m_taken; }

  void Close() override { CloseClipboard(); }

  std::vector<Item> Contents() override {
    std::vector<Item> items;
    for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format)) {
      if (format == CF_ENHMETAFILE) {
        std::string bytes = EnhancedMetafileBytes();
        if (!bytes.empty()) items.push_back(Item{format, std::move(bytes)});
        continue;
      }
      if (!HeldAsMemory(format)) continue;
      HANDLE data = GetClipboardData(format);
      if (!data) continue;
      const SIZE_T size = GlobalSize(data);
      const char* bytes = static_cast<const char*>(GlobalLock(data));
      if (!bytes) continue;
      items.push_back(Item{format, std::string(bytes, size)});
      GlobalUnlock(data);
    }
    return items;
  }

  bool SetContents(const std::vector<Item>& items) override {
    EmptyClipboard();
    bool all = true;
    for (const Item& item : items) {
      if (item.format == CF_ENHMETAFILE) {
        HENHMETAFILE metafile = SetEnhMetaFileBits(static_cast<UINT>(item.bytes.size()),
                                                   reinterpret_cast<const BYTE*>(item.bytes.data()));
        if (!metafile || !SetClipboardData(CF_ENHMETAFILE, metafile)) {
          if (metafile) DeleteEnhMetaFile(metafile);
          all = false;
        }
        continue;
      }
      if (!PutBlock(item.format, item.bytes.data(), item.bytes.size(), false)) all = false;
    }
    return all;
  }

  // Handing over an offered text may count as a change of its own.
  std::uint32_t SequenceNumber() override {
    const DWORD now = GetClipboardSequenceNumber();
    return now == m_afterRender ? m_beforeRender : now;
  }

 private:
  HWND Owner() {
    if (m_owner) return m_owner;
    static constexpr const char* kClass = "QuilletClipboardOwner";
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    if (!GetClassInfoA(instance, kClass, &wc)) {
      wc.lpfnWndProc = &Win32Clipboard::OwnerProc;
      wc.hInstance = instance;
      wc.lpszClassName = kClass;
      if (!RegisterClassA(&wc)) return nullptr;
    }
    m_owner = CreateWindowExA(0, kClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (m_owner) SetWindowLongPtrA(m_owner, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return m_owner;
  }

  // A program reads the offered text (the clipboard is open for it), or
  // our window goes while the offer stands (then we open it ourselves).
  void Render(bool openFirst) {
    if (openFirst && !OpenClipboard(m_owner)) return;
    m_beforeRender = GetClipboardSequenceNumber();
    PutBlock(CF_TEXT, m_offered.data(), m_offered.size(), true);
    m_afterRender = GetClipboardSequenceNumber();
    if (openFirst) CloseClipboard();
    m_taken = true;
  }

  static LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Win32Clipboard*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self) {
      if (message == WM_RENDERFORMAT && wParam == CF_TEXT) {
        self->Render(false);
        return 0;
      }
      if (message == WM_RENDERALLFORMATS) {
        if (GetClipboardOwner() == window) self->Render(true);
        return 0;
      }
      if (message == WM_DESTROYCLIPBOARD) {
        self->m_offered.clear();
        return 0;
      }
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }

  HWND m_owner = nullptr;
  std::string m_offered;
  bool m_taken = false;
  DWORD m_beforeRender = 0, m_afterRender = 0;

  // Copies bytes (and a NUL) into a memory block for the open clipboard;
  // false when no memory was available. Once set, the clipboard owns the
  // block; a block it refused is still ours.
  static bool PutBlock(UINT format, const char* data, std::size_t size, bool addNul) {
    const std::size_t total = size + (addNul ? 1 : 0);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, total ? total : 1);
    if (!block) return false;
    char* bytes = static_cast<char*>(GlobalLock(block));
    if (!bytes) {
      GlobalFree(block);
      return false;
    }
    if (size) std::memcpy(bytes, data, size);
    if (addNul) bytes[size] = '\0';
    GlobalUnlock(block);
    if (!SetClipboardData(format, block)) GlobalFree(block);
    return true;
  }

  static std::string EnhancedMetafileBytes() {
    auto metafile = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
    const UINT size = metafile ? GetEnhMetaFileBits(metafile, 0, nullptr) : 0;
    std::string bytes(size, '\0');
    if (size) GetEnhMetaFileBits(metafile, size, reinterpret_cast<BYTE*>(bytes.data()));
    return bytes;
  }

  // Bitmaps, palettes and old metafiles are handles of other kinds, and the
  // display formats belong to the owner that drew them; the clipboard makes
  // them again from the device-independent bitmap and the enhanced metafile
  // we keep.
  static bool HeldAsMemory(UINT format) {
    switch (format) {
      case CF_BITMAP:
      case CF_METAFILEPICT:
      case CF_PALETTE:
      case CF_ENHMETAFILE:
      case CF_OWNERDISPLAY:
      case CF_DSPBITMAP:
      case CF_DSPMETAFILEPICT:
      case CF_DSPENHMETAFILE:
        return false;
      default:
        return !(format >= CF_GDIOBJFIRST && format <= CF_GDIOBJLAST);
    }
  }
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
