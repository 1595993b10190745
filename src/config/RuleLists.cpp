#include "config/RuleLists.h"

#include <algorithm>

std::vector<std::size_t> CRuleListModel::Shown() const {
  std::vector<std::size_t> shown;
  for (std::size_t i = 0; i < m_config.appRules.size(); ++i) {
    const AppRule& rule = m_config.appRules[i];
    if (rule.bDeleted) continue;
    const bool listed = m_kind == Kind::kApplications ? rule.strEditId.empty() && !rule.strPath.empty()
                                                      : !rule.strEditId.empty();
    if (listed) shown.push_back(i);
  }
  return shown;
}

bool CRuleListModel::Add(const AppRule& rule) { return m_config.AddAppRule(rule) >= 0; }

bool CRuleListModel::Update(const AppRule& rule) { return m_config.UpdateAppRule(rule) != 0; }

void CRuleListModel::Delete(const std::vector<std::size_t>& shownRows) {
  // By section: deleting one moves the others in the working list.
  const std::vector<std::size_t> shown = Shown();
  std::vector<std::string> sections;
  for (std::size_t row : shownRows) {
    if (row < shown.size()) sections.push_back(m_config.appRules[shown[row]].strSection);
  }
  for (const std::string& section : sections) m_config.DeleteAppRule(section.c_str());
}

void CRuleListModel::Ok() {
  m_config.SaveAppRules();
  m_config.LoadAppRules();
  // The answer kept for the last window asked about was given under the old
  // rules: without this a window that keeps the focus would not follow them.
  m_config.hLastWindow = 0;
}

void CRuleListModel::Cancel() { m_config.RestoreAppRules(); }

void CAppOptionModel::ChoosePath(const std::string& path, const std::string& fileTitle) {
  rule.strPath = path;
  if (strCaption == strAutoCaption) {
    strCaption = fileTitle;
    strAutoCaption = fileTitle;
  } else {
    strAutoCaption.clear();
  }
}

AppRule CAppOptionModel::Result() const {
  AppRule result = rule;
  result.strCaption = strCaption;
  result.strEditId.clear();
  return result;
}

bool CEditBoxFinder::MoveOver(platform::WindowHandle window, bool overIcon) {
  if (overIcon || window == m_lastTarget) return false;
  m_lastTarget = window;
  return true;
}

std::string EditBoxCaption(const std::string& caption) { return caption.empty() ? "Edit1" : caption; }
