// The rule dialogs as thin views over config/RuleLists.h: the Applications
// Manager with Application Option and the running applications, and the Edit
// Box List with the Edit Box dialog and its finder.
//
// Threading: the user-interface thread only.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "config/Config.h"
#include "config/RuleLists.h"
#include "output/win32/HighlightFrame.h"
#include "win/Handles.h"
#include "win/Window.h"

// The small icons of executables for a list view: one image per file, the
// program's default application icon for a file that has none.
class ExeIcons {
 public:
  void Attach(HWND list);
  void Clear();
  int For(const std::string& path);

 private:
  win::ImageListHandle m_images;
  std::map<std::string, int> m_byPath;
  int m_fallback = -1;
};

class CDlgRunningApps final : public win::CDialog {
 public:
  CDlgRunningApps();
  std::string strResult;

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnOK() override;

 private:
  void Refresh();
  ExeIcons m_icons;
};

class CDlgAppOption final : public win::CDialog {
 public:
  explicit CDlgAppOption(const AppRule& rule);
  AppRule Result() const { return m_model.Result(); }

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  void Choose(const std::string& path);
  CAppOptionModel m_model;
};

class CDlgAppManager final : public win::CDialog {
 public:
  explicit CDlgAppManager(CConfig& config);

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnOK() override;
  void OnCancel() override;

 private:
  void Fill();
  void OnEdit();
  CConfig& m_config;
  CRuleListModel m_model;
  ExeIcons m_icons;
  win::IconHandle m_icon;
  win::IconHandle m_smallIcon;
  std::int32_t m_bOtherApps = 1;
};

class CDlgEditBox final : public win::CDialog {
 public:
  CDlgEditBox(const CConfig& config, const AppRule& rule);
  AppRule rule;

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnOK() override;

 private:
  void OnDrag(POINT screen);
  void EndDrag();
  const CConfig& m_config;
  CEditBoxFinder m_finder;
  std::unique_ptr<output::HighlightFrame> m_frame;
  std::string m_strEditBoxId;
  RECT m_iconRect = {};
  bool m_bDragging = false;
  HICON m_finderIcon = nullptr;
  HICON m_emptyIcon = nullptr;
  HCURSOR m_crosshair = nullptr;
};

class CDlgEditBoxList final : public win::CDialog {
 public:
  explicit CDlgEditBoxList(CConfig& config);

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnOK() override;
  void OnCancel() override;

 private:
  void Fill();
  void Edit(const AppRule& rule, bool adding);
  CConfig& m_config;
  CRuleListModel m_model;
};
