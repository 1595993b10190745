// The Options dialog (a tree of three pages: Hotkeys, AutoLearn, Others) and
// its pages, as thin views over the page models of config/OptionPages.h and
// learn/AutoLearnPage.h. The pages are child dialogs that the Options dialog
// makes inside itself and shows one at a time.
//
// Threading: the user-interface thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "config/Config.h"
#include "config/OptionPages.h"
#include "learn/AutoLearnPage.h"
#include "settings/DictDlgs.h"
#include "win/Handles.h"
#include "win/Window.h"

class CDlgOptionHotkey final : public win::CDialog {
 public:
  explicit CDlgOptionHotkey(CConfig& config);
  void Save();
  bool changed() const { return m_model.changed; }

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnOK() override {}
  void OnCancel() override {}

 private:
  void ShowFields();
  void OnAcceptListChanged();

  CConfig& m_config;
  config::CHotkeyPageModel m_model;
  bool m_showing = false;
};

class CDlgOptionOthers final : public win::CDialog {
 public:
  explicit CDlgOptionOthers(CConfig& config);
  // False (after telling the user, with the focus in the refused edit) when
  // a number is out of its range; nothing of the page is stored then.
  bool Save();
  bool changed() const { return m_model.changed; }

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}

 private:
  CConfig& m_config;
  config::COthersPageModel m_model;
};

class CDlgAutoLearn final : public win::CDialog {
 public:
  CDlgAutoLearn(CConfig& config, CAutoLearn* engine);
  // Fills the word list the first time the page is shown.
  void FillList();
  // The Options dialog's OK: the three options, then the list when it is
  // complete and was changed. False, after showing the range, when the
  // minimum length is refused; nothing is stored then.
  bool Save();
  bool changed() const { return m_model.optionsChanged || m_model.listChanged; }

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnOK() override {}
  void OnCancel() override {}

 private:
  HWND List() const { return Item(1044); }
  void ShowRows();
  void OnAdd();
  void OnDeleteSelected();
  void OnDeleteAll();
  void OnSaveList();
  void OnImport();
  void OnExport();
  // Runs an import or export with the wait window showing string `textId`.
  bool RunWaiting(UINT textId, const std::function<bool()>& run);
  static std::string CountMessage(UINT textId, std::int32_t count);
  void OnSeparatorsDone();
  bool OnNotify(const NMHDR& header, LRESULT& result);

  CConfig& m_config;
  CAutoLearn* m_engine;
  CAutoLearnPageModel m_model;
  // The dictionaries' wait window, for import and export.
  CDlgWaiting m_waiting;
  win::ImageListHandle m_images;
  std::string m_separators;
  bool m_ready = false;
};

class COptionsDlg final : public win::CDialog {
 public:
  COptionsDlg(CConfig& config, CAutoLearn* engine);
  ~COptionsDlg() override;
  // The tree text of the page shown first ("Hotkeys" unless set).
  std::string startPage;

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnOK() override;
  void OnCancel() override;

 private:
  void ShowPage(config::OptionsPage page);
  bool SavePages();

  CDlgOptionHotkey m_hotkeys;
  CDlgAutoLearn m_autoLearn;
  CDlgOptionOthers m_others;
  win::IconHandle m_icon;
  win::IconHandle m_smallIcon;
};

// Whether the per-user Run key starts this executable at logon, and setting
// or clearing that.
bool IsRunAtStartup();
bool SetRunAtStartup(bool on);
