#include "output/ClipboardKeeper.h"

#include <chrono>

#include "output/SendKeystroke.h"

namespace output {

std::uint64_t ClipboardKeeper::SteadyMilliseconds() {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

ClipboardKeeper::ClipboardKeeper()
    : ClipboardKeeper(platform::SystemClipboard(), platform::SystemKeyboard()) {}

ClipboardKeeper::ClipboardKeeper(platform::Clipboard& clipboard, platform::KeyboardOutput& keyboard,
                                 Clock clock)
    : m_clipboard(clipboard), m_keyboard(keyboard), m_clock(std::move(clock)) {}

// A clipboard held by another program skips the piece quietly: typing goes on
// with the next piece. Ctrl+V is queued at once; the target reads the
// clipboard after we have returned. Unlike single keystrokes, the Ctrl and V
// events carry the extended-key flag.
int ClipboardKeeper::PasteText(const std::string& text, platform::WindowHandle /*targetWindow*/) {
  if (!m_clipboard.Open()) return 1;
  // While a restore is pending the clipboard holds our previous piece, unless
  // someone has changed it since: then that is the content to keep.
  if (!m_pending || m_clipboard.SequenceNumber() != m_ourSequence) m_saved = m_clipboard.Contents();
  m_pending = true;
  m_clipboard.Empty();
  if (!m_clipboard.OfferText(text)) {
    m_clipboard.SetContents(m_saved);
    m_clipboard.Close();
    Forget();
    return 0;
  }
  m_clipboard.Close();
  m_ourSequence = m_clipboard.SequenceNumber();
  m_lastPaste = m_clock();

  const std::uint16_t scan = platform::kSyntheticScanCode;
  const std::uint32_t down = platform::kKeyExtended;
  const std::uint32_t up = platform::kKeyExtended | platform::kKeyUp;
  m_keyboard.KeyEvent(kVkControl, scan, down);
  m_keyboard.KeyEvent(kVkV, scan, down);
  m_keyboard.KeyEvent(kVkV, scan, up);
  m_keyboard.KeyEvent(kVkControl, scan, up);
  return 1;
}

bool ClipboardKeeper::Tick() {
  if (!m_pending) return false;
  const std::uint64_t age = m_clock() - m_lastPaste;
  // Someone who copied something after our paste has the newer content.
  if (m_clipboard.SequenceNumber() != m_ourSequence) {
    Forget();
    return false;
  }
  // A slow target pastes later: ours stays until it has been asked for.
  if (!m_clipboard.OfferTaken() && age < kTakeLimitMs) return true;
  if (!m_clipboard.Open()) {
    // The target may still be reading it: try again on the next tick.
    if (age < kGiveUpMs) return true;
    Forget();
    return false;
  }
  m_clipboard.SetContents(m_saved);
  m_clipboard.Close();
  Forget();
  return false;
}

void ClipboardKeeper::Forget() {
  m_pending = false;
  m_saved.clear();
  m_saved.shrink_to_fit();
}

}  // namespace output
