#include "output/ClipboardKeeper.h"

#include "output/SendKeystroke.h"

namespace output {

ClipboardKeeper::ClipboardKeeper()
    : ClipboardKeeper(platform::SystemClipboard(), platform::SystemKeyboard()) {}

ClipboardKeeper::ClipboardKeeper(platform::Clipboard& clipboard, platform::KeyboardOutput& keyboard)
    : m_clipboard(clipboard), m_keyboard(keyboard) {}

// A clipboard held by another program skips the piece quietly: typing goes on
// with the next piece. Ctrl+V is queued at once; the target reads the
// clipboard after we have returned. Unlike single keystrokes, the Ctrl and V
// events carry the extended-key flag.
int ClipboardKeeper::PasteText(const std::string& text, platform::WindowHandle /*targetWindow*/) {
  if (!m_clipboard.Open()) return 1;
  m_clipboard.Empty();
  if (!m_clipboard.SetText(text)) {
    m_clipboard.Close();
    return 0;
  }
  m_clipboard.Close();

  const std::uint16_t scan = platform::kSyntheticScanCode;
  const std::uint32_t down = platform::kKeyExtended;
  const std::uint32_t up = platform::kKeyExtended | platform::kKeyUp;
  m_keyboard.KeyEvent(kVkControl, scan, down);
  m_keyboard.KeyEvent(kVkV, scan, down);
  m_keyboard.KeyEvent(kVkV, scan, up);
  m_keyboard.KeyEvent(kVkControl, scan, up);
  return 1;
}

}  // namespace output
