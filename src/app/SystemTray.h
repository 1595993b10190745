// The icon in the notification area and its menu. A hidden pop-up window of
// ours receives the icon's mouse messages: a right click opens the tray menu
// (prepared by the host: check marks, the on/off entry), a double click runs
// the menu's default command. Commands go to the host's window.
//
// An add the shell refuses (no notification area yet at logon, a shell
// being restarted) is tried again on a timer and when a new shell
// announces itself, until it succeeds (engine::TrayIconKeeper decides).
// Meanwhile the operations keep their data for the icon that is to come and
// return false. The destructor removes the icon.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "engine/TrayIconKeeper.h"
#include "win/Handles.h"
#include "win/Window.h"

class CSystemTray : public win::CWindow, private engine::TrayIconKeeper::Shell {
 public:
  // What the tray needs from the main window.
  class Host {
   public:
    virtual ~Host() = default;
    // The window that owns the menu and receives its commands.
    virtual HWND CommandWindow() const = 0;
    // Sets check marks and texts on the menu's first sub-menu before it opens.
    virtual void PrepareMenu(HMENU menu) = 0;
  };

  explicit CSystemTray(Host& host);
  ~CSystemTray() override;

  // Adds the icon; `parent` (may be null) owns it, else our hidden window.
  // False when the shell did not take it yet (it is tried again).
  bool Create(HWND parent, UINT callbackMessage, const std::string& tooltip, HICON icon, UINT menuId);
  bool SetIcon(HICON icon);
  bool SetIcon(UINT iconId);
  bool SetTooltipText(const std::string& text);
  bool SetTooltipText(UINT stringId);
  bool HideIcon();
  bool ShowIcon();
  void RemoveIcon();
  bool SetMenuDefaultItem(UINT item, bool byPosition);
  // A balloon note beside the icon (title up to 63, text up to 255 bytes).
  bool ShowBalloon(const std::string& title, const std::string& text);

  // The icon's mouse message; 0 when it is not for our icon.
  LRESULT OnTrayNotification(WPARAM id, LPARAM mouseMessage);

  bool IsEnabled() const { return m_keeper.Added(); }
  bool menuEnabled = true;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  UINT DefaultCommand(HMENU menu) const;
  // TrayIconKeeper::Shell
  bool AddIcon() override;
  void SetRetryTimer(bool on) override;

  Host& m_host;
  NOTIFYICONDATAA m_data = {};
  engine::TrayIconKeeper m_keeper{*this};
  // The window and the icon's data are ready.
  bool m_created = false;
  bool m_hidden = false;
  UINT m_defaultItem = 0;
  bool m_defaultByPosition = true;
  win::IconHandle m_loadedIcon;  // an icon we loaded ourselves for SetIcon(id)
  // Animation state (the icons to cycle through); no command animates.
  std::vector<HICON> m_animation;
};
