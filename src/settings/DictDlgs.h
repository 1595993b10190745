// The dictionary dialogs as thin views over the models of dict/DictDialogs.h:
// the Dictionaries Manager, the dictionary editor ("Dictionary Option"), New
// Dictionary, and the editor's wait window for imports and exports.
//
// Threading: the user-interface thread only.
#pragma once

#include <windows.h>

#include <string>

#include "config/Config.h"
#include "dict/DictDialogs.h"
#include "dict/WaitProgress.h"
#include "win/Handles.h"
#include "win/Window.h"

// The wait window: one line of text and a Cancel button. Its cancelled flag
// is cleared at the start of every run, so one cancel stops only that run.
class CDlgWaiting final : public win::CDialog, public WaitProgress {
 public:
  CDlgWaiting();
  void Begin(const std::string& text);
  void End();
  void SetText(const std::string& text) override;
  void PumpMessages() override;
  bool IsCancelled() const override { return m_cancelled; }

 protected:
  void OnCancel() override { m_cancelled = true; }

 private:
  bool m_cancelled = false;
};

class CDlgNewDictionary final : public win::CDialog {
 public:
  CDlgNewDictionary();
  std::int32_t type = DICT_TYPE_WORDS;
  std::string filePath;
  std::string description;
  std::string name;

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnOK() override;
};

class CDlgDictOption final : public win::CDialog {
 public:
  CDlgDictOption(std::string path, std::string iniPath);
  ~CDlgDictOption() override;

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnOK() override;
  void OnCancel() override;

 private:
  HWND List() const { return Item(1007); }
  void Query(const std::string& text);
  void ShowButtons();
  void ShowInfo();
  void OnAdd();
  void OnSave();
  void OnDelete();
  void OnImport();
  void OnExport();
  void OnMiscKey();
  void OnSelectionChanged();
  std::int32_t ChosenType() const;

  std::string m_path;
  std::string m_iniPath;
  CDictEditorModel m_model;
  CDlgWaiting m_waiting;
  win::ImageListHandle m_images;
  int m_lastEdit = 0;  // the key or data edit that last had the focus
  WNDPROC m_dataEditProc = nullptr;
  static LRESULT CALLBACK DataEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);
};

class CDlgDictManager final : public win::CDialog {
 public:
  explicit CDlgDictManager(CConfig& config);

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnOK() override;

 private:
  void FillList();
  void OnCreate();
  void OnEdit();

  CConfig& m_config;
  CDictManagerModel m_model;
  win::IconHandle m_icon;
  win::IconHandle m_smallIcon;
};

// The path of a user file of the program folder ("\Libs\UserDictionary.lib"
// for IDS_USER_DICTIONARY): what the tray commands open in the editor.
std::string UserFilePath(UINT stringId);
