#include "app/HotkeyText.h"

#include <windows.h>

#include <vector>

namespace {

std::string KeyName(UINT key, bool extended) {
  LONG code = static_cast<LONG>(MapVirtualKeyA(key, 0) << 16);
  if (extended) code |= 1 << 24;
  // Grow the buffer for as long as a name fills it.
  for (size_t size = 128; size <= 65536; size *= 2) {
    std::vector<char> buffer(size);
    int n = GetKeyNameTextA(code, buffer.data(), static_cast<int>(size));
    if (n < static_cast<int>(size) - 1) return std::string(buffer.data(), n > 0 ? static_cast<size_t>(n) : 0);
  }
  return {};
}

}  // namespace

std::string HotkeyText(std::uint32_t virtualKey, std::uint32_t modifiers) {
  if (virtualKey == 0 && modifiers == 0) return {};
  std::string text;
  if (modifiers & 2) text += KeyName(VK_CONTROL, false) + "+";
  if (modifiers & 1) text += KeyName(VK_SHIFT, false) + "+";
  if (modifiers & 4) text += KeyName(VK_MENU, false) + "+";
  text += KeyName(virtualKey, (modifiers & 8) != 0);
  return text;
}
