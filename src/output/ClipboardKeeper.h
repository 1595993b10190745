// Pastes a piece of text into the window that has the keyboard focus: the
// text goes on the clipboard as CF_TEXT and Ctrl+V is sent. This is how text
// with double-byte characters is typed, since keys type single bytes only.
//
// The user's clipboard is kept: every format it holds is copied before the
// first paste and put back once the target has taken our text. The text is
// only offered (delayed rendering), so the system tells us when the target
// reads it; `Tick` puts the user's content back after that, or after
// `kTakeLimitMs` when no one asks for it. A clipboard that someone else
// changed in the meantime is left as it is, and one that stays held by
// another program is given up after `kGiveUpMs`. Several pastes in a row
// keep the content saved before the first.
//
// Nothing here may wait for the target: our own keyboard hook runs on this
// thread and the Ctrl+V passes through it only after we have returned.
//
// Threading: the user-interface thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "platform/Keyboard.h"

namespace output {

class ClipboardKeeper {
 public:
  // Milliseconds from a steady clock.
  using Clock = std::function<std::uint64_t()>;
  static std::uint64_t SteadyMilliseconds();

  // From the last paste: how long a target that never asks for our text is
  // waited for, and how long a clipboard held by another program is tried.
  static constexpr std::uint64_t kTakeLimitMs = 5000;
  static constexpr std::uint64_t kGiveUpMs = 10000;
  // The timer the program ticks the keeper with while a restore is pending.
  static constexpr int kRestoreTimer = 1005;
  static constexpr unsigned kTickMs = 100;

  // Through the system's clipboard and keyboard.
  ClipboardKeeper();
  ClipboardKeeper(platform::Clipboard& clipboard, platform::KeyboardOutput& keyboard,
                  Clock clock = &ClipboardKeeper::SteadyMilliseconds);

  // 1 when the paste was sent, and also when the clipboard was held by
  // another program (then nothing is pasted and no key is sent); 0 when no
  // memory for the text was available (the user's content is put back at
  // once). `targetWindow` is not used: the paste goes to the focused window.
  int PasteText(const std::string& text, platform::WindowHandle targetWindow);

  // Puts the saved content back when it is due; true while a restore is
  // still pending.
  bool Tick();
  bool RestorePending() const { return m_pending; }

 private:
  void Forget();

  platform::Clipboard& m_clipboard;
  platform::KeyboardOutput& m_keyboard;
  Clock m_clock;
  bool m_pending = false;
  std::vector<platform::Clipboard::Item> m_saved;
  std::uint32_t m_ourSequence = 0;
  std::uint64_t m_lastPaste = 0;
};

}  // namespace output
