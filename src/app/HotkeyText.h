// The text of a hotkey as the tray menu shows it: the system's names of
// Ctrl, Shift and Alt as present, each followed by "+", then the key's own
// name ("Ctrl+F5" on an English keyboard).
#pragma once

#include <cstdint>
#include <string>

// modifiers: Shift 1, Ctrl 2, Alt 4, extended key 8 (as the hotkey control
// gives them).
std::string HotkeyText(std::uint32_t virtualKey, std::uint32_t modifiers);
