// What the rule dialogs decide, apart from drawing: which rules each list
// shows, their edits through the options store (undone by Cancel), the
// Application Option's automatic caption, and the edit-box finder's target.
//
// Threading: the user-interface thread only.
#pragma once

#include <string>
#include <vector>

#include "config/Config.h"

// The Applications Manager's list (application rules) or the Edit Box
// List's (edit-box rules), over the options store's working rule list.
class CRuleListModel {
 public:
  enum class Kind { kApplications, kEditBoxes };
  CRuleListModel(CConfig& config, Kind kind) : m_config(config), m_kind(kind) {}

  // Indexes into config.appRules of the rules this list shows, in the order
  // they are kept.
  std::vector<std::size_t> Shown() const;
  // Add and Edit with what the rule dialog gave back; Delete flags the rules
  // at these indexes of Shown() as deleted.
  bool Add(const AppRule& rule);
  bool Update(const AppRule& rule);
  void Delete(const std::vector<std::size_t>& shownRows);
  // OK writes AppConfig.ini and reads it back; Cancel undoes every edit.
  void Ok();
  void Cancel();

 private:
  CConfig& m_config;
  Kind m_kind;
};

// The Application Option dialog's caption: filled in from each executable
// chosen until the user types a caption of their own.
class CAppOptionModel {
 public:
  explicit CAppOptionModel(const AppRule& rule) : rule(rule), strCaption(rule.strCaption) {}
  // A new executable was chosen; fileTitle is its file title.
  void ChoosePath(const std::string& path, const std::string& fileTitle);
  AppRule Result() const;

  AppRule rule;
  std::string strCaption;
  std::string strAutoCaption;
};

// The finder of the Edit Box dialog: the window under the dragged cursor.
class CEditBoxFinder {
 public:
  // The cursor moved to over `window` (0 for none); overIcon when it is over
  // the finder icon itself. True when the target changed (the identifier and
  // the frame must be brought up to date).
  bool MoveOver(platform::WindowHandle window, bool overIcon);
  void Reset() { m_lastTarget = 0; }
  platform::WindowHandle Target() const { return m_lastTarget; }

 private:
  platform::WindowHandle m_lastTarget = 0;
};

// The caption an edit-box rule shows: its own, or "Edit1" for none.
std::string EditBoxCaption(const std::string& caption);
