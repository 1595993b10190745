#include "dict/DictDialogs.h"

#include <algorithm>

#include "platform/CodePage.h"

namespace {

std::string Text(const DictText& text, std::int32_t length) {
  return text.get() && length > 0 ? std::string(text.get(), static_cast<std::size_t>(length)) : std::string();
}

}  // namespace

// ---- Dictionaries Manager -------------------------------------------------------

CDictManagerModel::CDictManagerModel(EnabledTest isEnabled, EnabledSetter setEnabled)
    : m_set(std::move(isEnabled)), m_setEnabled(std::move(setEnabled)) {}

void CDictManagerModel::Fill(const std::string& pattern) {
  m_rows.clear();
  m_set.UnloadAll();
  m_set.LoadAll(pattern.c_str(), true);
  for (std::int32_t i = 0; i < m_set.GetCount(); ++i) {
    CDictionary& dict = m_set.GetDictionary(i);
    Row row;
    row.caption = dict.GetCaption();
    row.typeText = dict.GetType() == DICT_TYPE_SHORTHAND ? "Shorthand" : dict.GetType() == DICT_TYPE_WORDS ? "Dictionary" : "";
    row.description = dict.GetDescription();
    // A file that did not open has no path of its own yet.
    row.path = m_set.GetPath(i);
    row.checked = m_set.IsEnabled(dict);
    m_rows.push_back(std::move(row));
  }
  // As the list control sorts its rows: by caption, without regard to case.
  std::stable_sort(m_rows.begin(), m_rows.end(), [](const Row& a, const Row& b) {
    return platform::MbsCompareNoCase(a.caption, b.caption) < 0;
  });
}

void CDictManagerModel::SetChecked(std::size_t row, bool checked) {
  if (row < m_rows.size()) m_rows[row].checked = checked;
}

void CDictManagerModel::StoreChecks() {
  if (!m_setEnabled) return;
  for (const Row& row : m_rows) m_setEnabled(row.path, row.checked);
}

// ---- Dictionary editor ----------------------------------------------------------

CDictEditorModel::CDictEditorModel(std::string userDictionary, std::string userShorthands)
    : m_userDictionary(std::move(userDictionary)), m_userShorthands(std::move(userShorthands)) {}

bool CDictEditorModel::Open(const std::string& path) {
  if (path.empty() || !m_dict.Open(path.c_str())) return false;
  // The editor shows and saves keys as stored; only what the user types
  // changes one.
  m_dict.SetCaptionHeader(0);
  m_dict.SetCaseFromSearch(0);
  m_buttons.import = m_buttons.exportFile = true;
  if (!EditAllowed()) m_buttons.import = m_buttons.exportFile = m_buttons.type = false;
  m_buttons.miscKey = m_dict.GetType() == DICT_TYPE_SHORTHAND;
  return true;
}

void CDictEditorModel::Query(const std::string& text, const std::function<bool(std::int32_t, std::int32_t)>& keepGoing) {
  m_rows.clear();
  m_buttons.del = false;
  if (!m_dict.IsOpen()) return;
  const std::int32_t total = m_dict.GetItemCount();
  // The entry at the text's position comes first even when its key only
  // begins with the text; the search then goes on over everything after it.
  DictItem item;
  m_dict.FindExact(text.c_str(), item, kDefaultMatchFlags);
  bool more = item.key.get() != nullptr || m_dict.FindNext(item);
  while (more) {
    m_rows.push_back(Row{Text(item.key, item.keyLength), Text(item.data, item.dataLength)});
    if (keepGoing && !keepGoing(static_cast<std::int32_t>(m_rows.size()), total)) break;
    more = m_dict.FindNext(item);
  }
  // Rows come in the order the file keeps them, which for a scrambled
  // dictionary is that of the scrambled bytes. The list is ordered by the
  // key it shows, as a sorted list control orders its rows.
  std::stable_sort(m_rows.begin(), m_rows.end(), [](const Row& a, const Row& b) {
    return platform::MbsCompareNoCase(a.key, b.key) < 0;
  });
}

void CDictEditorModel::OnSelection(int selectedRows, const std::string& key, const std::string& data) {
  if (selectedRows == 1) {
    m_loadedKey = key;
    m_loadedData = data;
  }
  m_buttons.del = true;
}

void CDictEditorModel::OnKeyEdited(const std::string& key) {
  if (key.empty()) {
    m_buttons.add = m_buttons.save = false;
  } else if (key != m_loadedKey) {
    m_buttons.add = true;
    m_buttons.save = false;
  } else {
    m_buttons.add = false;
  }
}

void CDictEditorModel::OnDataEdited(const std::string& data) { m_buttons.save = data != m_loadedData; }

CDictEditorModel::AddResult CDictEditorModel::Add(const std::string& key, const std::string& data) {
  DictItem found;
  if (m_dict.FindExact(key.c_str(), found, kDefaultMatchFlags)) return AddResult::kExists;
  return m_dict.AddItem(DictItem(key, data, m_dict.GetType()), true) ? AddResult::kAdded : AddResult::kFailed;
}

bool CDictEditorModel::Save(const std::string& key, const std::string& data) {
  const DictItem item(key, data, m_dict.GetType());
  return m_dict.UpdateItem(item, item);
}

bool CDictEditorModel::Delete(const std::vector<std::string>& keys) {
  for (const std::string& key : keys) {
    if (key.empty()) continue;
    if (!m_dict.DeleteItem(DictItem(key))) return false;
  }
  return true;
}

bool CDictEditorModel::ApplyForced() {
  const std::string path = m_dict.GetPath();
  std::int32_t type;
  if (path.find(m_userShorthands) != std::string::npos) {
    type = DICT_TYPE_SHORTHAND;
  } else if (path.find(m_userDictionary) != std::string::npos) {
    type = DICT_TYPE_WORDS;
  } else {
    return false;
  }
  m_dict.SetType(type);
  m_dict.SetEditFlags(m_dict.GetEditFlags() | DICT_EDIT_ALLOWED);
  return true;
}

void CDictEditorModel::StoreAttributes(std::int32_t type, const std::string& description, const std::string& caption,
                                       bool editAllowed) {
  if (!m_dict.IsOpen()) return;
  m_dict.SetType(type);
  m_dict.SetDescription(description.c_str(), static_cast<int>(description.size()));
  m_dict.SetCaption(caption.c_str(), static_cast<int>(caption.size()));
  m_dict.SetEditFlags(editAllowed ? (m_dict.GetEditFlags() | DICT_EDIT_ALLOWED)
                                  : (m_dict.GetEditFlags() & ~DICT_EDIT_ALLOWED));
  ApplyForced();
  m_dict.SaveInfo();
}

void CDictEditorModel::StoreForcedOnly() {
  if (m_dict.IsOpen() && ApplyForced()) m_dict.SaveInfo();
}

// ---- New Dictionary -------------------------------------------------------------

std::string NewDictionaryPath(const std::string& exeFolder, const std::string& name) {
  std::string folder = exeFolder;
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return folder + "\\libs\\" + name + ".lib";
}

NewNameProblem CheckNewDictionaryName(const std::string& name, const std::function<bool(const std::string&)>& fileExists,
                                      const std::string& path) {
  if (name.find_first_not_of(' ') == std::string::npos) return NewNameProblem::kEmpty;
  for (unsigned char c : name) {
    if (c < 0x20 || std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos)
      return NewNameProblem::kBadCharacter;
  }
  if (name.back() == '.' || name.back() == ' ') return NewNameProblem::kBadCharacter;
  if (fileExists && fileExists(path)) return NewNameProblem::kExists;
  return NewNameProblem::kNone;
}
