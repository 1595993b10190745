// The one primitive that types into another application: press and release
// one virtual key, or one ANSI character turned into a key and a Shift state
// with our own thread's keyboard layout. The events go to whichever window
// has the keyboard focus; the caller brings the target to the foreground
// first. Nothing waits between events.
//
// Threading: the user-interface thread only.
#pragma once

#include <cstdint>

#include "platform/Keyboard.h"

namespace output {

// Virtual keys that the typing code presses.
enum VirtualKey : std::uint8_t {
  kVkBack = 8,
  kVkTab = 9,
  kVkReturn = 13,
  kVkShift = 16,
  kVkControl = 17,
  kVkCapital = 20,
  kVkPrior = 33,
  kVkNext = 34,
  kVkEnd = 35,
  kVkHome = 36,
  kVkLeft = 37,
  kVkUp = 38,
  kVkDown = 40,
  kVkDelete = 46,
  kVkV = 86,
};

// Presses and releases `virtualKey` (when not 0), then types `character`
// (when not 0). Returns 0, sending nothing, when both are 0; else 1.
int SendKeystroke(platform::KeyboardOutput& keyboard, char character, std::uint8_t virtualKey);
// The same through the system's keyboard.
int SendKeystroke(char character, std::uint8_t virtualKey);

}  // namespace output
