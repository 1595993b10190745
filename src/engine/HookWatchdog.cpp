#include "engine/HookWatchdog.h"

namespace engine {

void HookWatchdog::OnHookKey(std::uint64_t nowMs) {
  m_missed = 0;
  m_lastHookMs = nowMs;
}

// A healthy hook sees each key before or just after raw input does, so the
// count of misses in a row stays at one; a removed hook lets it grow. While
// the hook is meant to be off (engine switched off, a dialog that follows
// no keys) nothing counts, and the quiet time starts when it is back on.
bool HookWatchdog::OnRawKey(bool hookInstalled, std::uint64_t nowMs) {
  if (!hookInstalled) {
    m_watching = false;
    m_missed = 0;
    return false;
  }
  if (!m_watching) {
    m_watching = true;
    m_missed = 0;
    m_lastHookMs = nowMs;
  }
  ++m_missed;
  if (m_missed < kMissedKeys || nowMs - m_lastHookMs < kQuietMs) return false;
  ++m_reinstalls;
  m_missed = 0;
  m_lastHookMs = nowMs;
  return true;
}

}  // namespace engine
