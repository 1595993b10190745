// Windows takes a low-level keyboard hook away, without telling anyone,
// when it has answered too slowly. Raw input sees the user's keys as well:
// when key presses keep arriving there while the hook has handed us none for
// a while, the hook is gone and is to be installed again.
#pragma once

#include <cstdint>

namespace engine {

class HookWatchdog {
 public:
  // Key presses raw input saw that the hook did not, in a row...
  static constexpr int kMissedKeys = 4;
  // ...over at least this long since the hook's last key.
  static constexpr std::uint64_t kQuietMs = 1500;

  // The hook handed us a key event.
  void OnHookKey(std::uint64_t nowMs);
  // Raw input saw a key press of the user (not one of our own synthetic
  // keys). `hookInstalled` is whether the hook should be there now. True
  // when the hook is to be installed again; counting starts afresh then.
  bool OnRawKey(bool hookInstalled, std::uint64_t nowMs);
  // How often the hook was found gone.
  int Reinstalls() const { return m_reinstalls; }

 private:
  bool m_watching = false;
  int m_missed = 0;
  std::uint64_t m_lastHookMs = 0;
  int m_reinstalls = 0;
};

}  // namespace engine
