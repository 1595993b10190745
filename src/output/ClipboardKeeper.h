// Pastes a piece of text into the window that has the keyboard focus: the
// text goes on the clipboard as CF_TEXT and Ctrl+V is sent. This is how text
// with double-byte characters is typed, since keys type single bytes only.
// The clipboard's earlier content is not kept.
//
// A keeper is short-lived (one per pasted piece) and holds nothing of its
// own: the clipboard owns the text once it is set.
//
// Threading: the user-interface thread only.
#pragma once

#include <string>

#include "platform/desktop.h"
#include "platform/keyboard.h"

namespace output {

class ClipboardKeeper {
 public:
  // Through the system's clipboard and keyboard.
  ClipboardKeeper();
  ClipboardKeeper(platform::Clipboard& clipboard, platform::KeyboardOutput& keyboard);

  // 1 when the paste was sent, and also when the clipboard was held by
  // another program (then nothing is pasted and no key is sent); 0 when no
  // memory for the text was available (the clipboard is left empty).
  // `targetWindow` is not used: the paste goes to the focused window.
  int PasteText(const std::string& text, platform::WindowHandle targetWindow);

 private:
  platform::Clipboard& m_clipboard;
  platform::KeyboardOutput& m_keyboard;
};

}  // namespace output
