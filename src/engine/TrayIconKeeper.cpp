#include "engine/TrayIconKeeper.h"

namespace engine {

void TrayIconKeeper::Start() {
  m_wanted = true;
  m_added = false;
  TryAdd();
}

void TrayIconKeeper::OnShellRestarted() {
  m_added = false;
  if (m_wanted) TryAdd();
}

void TrayIconKeeper::OnRetryTimer() {
  if (m_wanted && !m_added) TryAdd();
  else SetRetrying(false);
}

void TrayIconKeeper::SetWanted(bool wanted) {
  m_wanted = wanted;
  if (wanted) {
    if (!m_added) TryAdd();
  } else {
    m_added = false;
    SetRetrying(false);
  }
}

void TrayIconKeeper::TryAdd() {
  m_added = m_shell.AddIcon();
  SetRetrying(!m_added);
}

void TrayIconKeeper::SetRetrying(bool on) {
  if (on == m_retrying) return;
  m_retrying = on;
  m_shell.SetRetryTimer(on);
}

}  // namespace engine
