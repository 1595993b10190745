// The icon in the notification area and its menu. A hidden pop-up window of
// ours receives the icon's mouse messages: a right click opens the tray menu
// (prepared by the host: check marks, the on/off entry), a double click runs
// the menu's default command. Commands go to the host's window.
//
// When the icon cannot be added every operation does nothing and returns
// false; the program runs on without it. The destructor removes the icon.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "win/Handles.h"
#include "win/Window.h"

class CSystemTray : public win::CWindow {
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

  bool IsEnabled() const { return m_enabled; }
  bool menuEnabled = true;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  UINT DefaultCommand(HMENU menu) const;

  Host& m_host;
  NOTIFYICONDATAA m_data = {};
  bool m_enabled = false;
  bool m_hidden = false;
  UINT m_defaultItem = 0;
  bool m_defaultByPosition = true;
  win::IconHandle m_loadedIcon;  // an icon we loaded ourselves for SetIcon(id)
  // Animation state (the icons to cycle through); no command animates.
  std::vector<HICON> m_animation;
};
