#include "app/SystemTray.h"

#include <cstring>

#include "engine/PromptReason.h"
#include "win/Resources.h"

namespace {

constexpr const char* kClassName = "QuilletTrayWnd";
constexpr UINT_PTR kRetryTimer = 1;

bool ShellTooOld() { return LOBYTE(LOWORD(GetVersion())) < 4; }

}  // namespace

CSystemTray::CSystemTray(Host& host) : m_host(host) {}

CSystemTray::~CSystemTray() {
  RemoveIcon();
  m_animation.clear();
  Destroy();
}

bool CSystemTray::Create(HWND parent, UINT callbackMessage, const std::string& tooltip, HICON icon, UINT menuId) {
  if (ShellTooOld()) return false;
  if (!RegisterOnce(kClassName)) return false;
  if (!CreateEx(0, kClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr)) return false;
  // The first, short layout of the block (88 bytes on 32-bit systems): the
  // icon, its message and a tip of up to 64 bytes.
  m_data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  m_data.hWnd = parent ? parent : m_hWnd;
  m_data.uID = menuId;
  m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  m_data.uCallbackMessage = callbackMessage;
  m_data.hIcon = icon;
  lstrcpynA(m_data.szTip, tooltip.c_str(), 64);
  m_created = true;
  m_keeper.Start();
  return m_keeper.Added();
}

// A shell that still holds our icon (one that announced itself anew without
// forgetting its icons) refuses the add; the icon is there all the same.
bool CSystemTray::AddIcon() {
  m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  return Shell_NotifyIconA(NIM_ADD, &m_data) != 0 || Shell_NotifyIconA(NIM_MODIFY, &m_data) != 0;
}

void CSystemTray::SetRetryTimer(bool on) {
  if (on) SetTimer(m_hWnd, kRetryTimer, engine::TrayIconKeeper::kRetryMs, nullptr);
  else KillTimer(m_hWnd, kRetryTimer);
}

bool CSystemTray::SetIcon(HICON icon) {
  if (!m_created) return false;
  m_data.hIcon = icon;
  if (!m_keeper.Added()) return false;
  m_data.uFlags = NIF_ICON;
  return Shell_NotifyIconA(NIM_MODIFY, &m_data) != 0;
}

bool CSystemTray::SetIcon(UINT iconId) {
  HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(iconId), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  if (!icon) return false;
  bool done = SetIcon(icon);
  m_loadedIcon.reset(icon);  // the previous one is no longer shown
  return done;
}

// Cut between characters to the tip's room. The hidden window carries the
// tip as its title too: the shell keeps its copy to itself, and tools (the
// smoke test among them) read the tip there.
bool CSystemTray::SetTooltipText(const std::string& text) {
  if (!m_created) return false;
  const std::string tip = engine::CutText(text, sizeof m_data.szTip - 1);
  lstrcpynA(m_data.szTip, tip.c_str(), sizeof m_data.szTip);
  SetWindowTextA(m_hWnd, m_data.szTip);
  if (!m_keeper.Added()) return false;
  m_data.uFlags = NIF_TIP;
  return Shell_NotifyIconA(NIM_MODIFY, &m_data) != 0;
}

bool CSystemTray::SetTooltipText(UINT stringId) { return SetTooltipText(win::LoadStr(stringId)); }

// The icon's own block keeps its first, short layout; a balloon needs the
// longer one, so it goes in a block of its own.
bool CSystemTray::ShowBalloon(const std::string& title, const std::string& text) {
  if (!m_keeper.Added() || m_hidden) return false;
  NOTIFYICONDATAA data = {};
  data.cbSize = NOTIFYICONDATAA_V2_SIZE;
  data.hWnd = m_data.hWnd;
  data.uID = m_data.uID;
  data.uFlags = NIF_INFO;
  data.dwInfoFlags = NIIF_INFO;
  lstrcpynA(data.szInfoTitle, title.c_str(), sizeof data.szInfoTitle);
  lstrcpynA(data.szInfo, text.c_str(), sizeof data.szInfo);
  return Shell_NotifyIconA(NIM_MODIFY, &data) != 0;
}

bool CSystemTray::HideIcon() {
  if (!m_created || m_hidden) return false;
  if (m_keeper.Added()) {
    m_data.uFlags = NIF_ICON;
    Shell_NotifyIconA(NIM_DELETE, &m_data);
  }
  m_keeper.SetWanted(false);
  m_hidden = true;
  return true;
}

bool CSystemTray::ShowIcon() {
  if (!m_created || !m_hidden) return false;
  m_hidden = false;
  m_keeper.SetWanted(true);
  return true;
}

void CSystemTray::RemoveIcon() {
  if (!m_created) return;
  if (m_keeper.Added()) {
    m_data.uFlags = 0;
    Shell_NotifyIconA(NIM_DELETE, &m_data);
  }
  m_keeper.SetWanted(false);
  m_created = false;
}

bool CSystemTray::SetMenuDefaultItem(UINT item, bool byPosition) {
  if (m_defaultItem == item && m_defaultByPosition == byPosition) return true;
  m_defaultItem = item;
  m_defaultByPosition = byPosition;
  win::MenuHandle menu(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_data.uID)));
  if (!menu) return false;
  HMENU sub = GetSubMenu(menu.get(), 0);
  return sub && ::SetMenuDefaultItem(sub, m_defaultItem, m_defaultByPosition);
}

UINT CSystemTray::DefaultCommand(HMENU menu) const {
  if (!m_defaultByPosition) return m_defaultItem;
  return GetMenuItemID(menu, static_cast<int>(m_defaultItem));
}

LRESULT CSystemTray::OnTrayNotification(WPARAM id, LPARAM mouseMessage) {
  if (id != m_data.uID) return 0;
  HWND target = m_host.CommandWindow();
  if (mouseMessage == WM_RBUTTONUP) {
    if (!menuEnabled) return 1;
    win::MenuHandle menu(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_data.uID)));
    HMENU sub = menu ? GetSubMenu(menu.get(), 0) : nullptr;
    if (!sub) return 1;
    POINT at;
    GetCursorPos(&at);
    SetForegroundWindow(target);
    m_host.PrepareMenu(sub);
    ::SetMenuDefaultItem(sub, m_defaultItem, m_defaultByPosition);
    TrackPopupMenu(sub, TPM_LEFTALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, target, nullptr);
    // Lets the menu close properly when the user clicks elsewhere.
    PostMessageA(target, WM_NULL, 0, 0);
  } else if (mouseMessage == WM_LBUTTONDBLCLK) {
    SetForegroundWindow(target);
    win::MenuHandle menu(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_data.uID)));
    HMENU sub = menu ? GetSubMenu(menu.get(), 0) : nullptr;
    if (!sub) return 1;
    SendMessageA(target, WM_COMMAND, DefaultCommand(sub), 0);
  }
  return 1;
}

LRESULT CSystemTray::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_created && message == m_data.uCallbackMessage) return OnTrayNotification(wParam, lParam);
  // A new shell (Explorer restarted, or the first one after a start at
  // logon) knows nothing of the icons of before: ours is added again, unless
  // it is hidden on purpose.
  static const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  if (message == taskbarCreated && taskbarCreated != 0) {
    if (m_created) m_keeper.OnShellRestarted();
    return 0;
  }
  if (message == WM_TIMER && wParam == kRetryTimer) {
    m_keeper.OnRetryTimer();
    return 0;
  }
  return CWindow::WindowProc(message, wParam, lParam);
}
