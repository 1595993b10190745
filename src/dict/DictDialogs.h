// What the dictionary dialogs decide, apart from drawing: the Dictionaries
// Manager's rows and check states, the dictionary editor's listing, button
// states and edits, and the New Dictionary dialog's file path and name check.
// The Win32 views copy between their controls and these models.
//
// Threading: the user-interface thread only. No messages: results come back
// as values and the views word them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "dict/Dictionary.h"
#include "dict/DictionarySet.h"

// The Dictionaries Manager: every dictionary of the libs folder, enabled or
// not, sorted by caption as the list shows them.
class CDictManagerModel {
 public:
  struct Row {
    std::string caption;
    std::string typeText;  // "Dictionary", "Shorthand", or empty for another type
    std::string description;
    std::string path;
    bool checked = true;
  };
  using EnabledTest = CDictionarySet::EnabledTest;
  using EnabledSetter = CDictionarySet::EnabledSetter;

  CDictManagerModel(EnabledTest isEnabled, EnabledSetter setEnabled);
  // Loads every file of the pattern ("folder\*.lib"), disabled ones too.
  void Fill(const std::string& pattern);
  const std::vector<Row>& Rows() const { return m_rows; }
  void SetChecked(std::size_t row, bool checked);
  // OK: every row's check state becomes its dictionary's enable flag.
  void StoreChecks();

 private:
  CDictionarySet m_set;
  EnabledSetter m_setEnabled;
  std::vector<Row> m_rows;
};

// The dictionary editor: one dictionary, open while the dialog is.
class CDictEditorModel {
 public:
  struct Row {
    std::string key;
    std::string data;
  };
  struct Buttons {
    bool add = false, save = false, del = false, import = false, exportFile = false;
    bool type = true, miscKey = true;
  };
  enum class AddResult { kAdded, kExists, kFailed };

  // userDictionary and userShorthands: the path endings of the two user
  // files, whose type and editing are forced on closing.
  CDictEditorModel(std::string userDictionary, std::string userShorthands);
  // Opens the dictionary (caption header off). False leaves the editor
  // without a dictionary: no columns, no import or export.
  bool Open(const std::string& path);
  bool IsOpen() const { return m_dict.IsOpen(); }
  CDictionary& Dictionary() { return m_dict; }
  std::int32_t Type() const { return m_dict.GetType(); }

  // Lists the entries from the position of text: the exact key and what
  // follows it, to the end of the dictionary. keepGoing(done, total) after
  // every row; false stops the listing. Rows are ordered by key, without
  // regard to case, whatever order the file keeps them in.
  void Query(const std::string& text, const std::function<bool(std::int32_t, std::int32_t)>& keepGoing = {});
  const std::vector<Row>& Rows() const { return m_rows; }

  // The buttons' states follow the edits and the selection.
  const Buttons& ButtonStates() const { return m_buttons; }
  void OnSelection(int selectedRows, const std::string& key, const std::string& data);
  void OnKeyEdited(const std::string& key);
  void OnDataEdited(const std::string& data);

  // Add refuses a key that is there already in any letter case.
  AddResult Add(const std::string& key, const std::string& data);
  // The entry whose key is key gets data; false when there is none.
  bool Save(const std::string& key, const std::string& data);
  // Deletes the entries of these keys (empty keys skipped); false at the
  // first that could not be deleted.
  bool Delete(const std::vector<std::string>& keys);

  // OK: the attributes from the dialog, then the forced settings of the
  // user files, saved. Cancel: the forced settings only.
  void StoreAttributes(std::int32_t type, const std::string& description, const std::string& caption,
                       bool editAllowed);
  void StoreForcedOnly();
  bool EditAllowed() const { return (m_dict.GetEditFlags() & DICT_EDIT_ALLOWED) != 0; }

 private:
  // The forced settings of the user files; false for any other file.
  bool ApplyForced();
  std::string m_userDictionary;
  std::string m_userShorthands;
  CDictionary m_dict;
  std::vector<Row> m_rows;
  Buttons m_buttons;
  std::string m_loadedKey;
  std::string m_loadedData;
};

// New Dictionary: the file for a name, in the libs folder beside the program
// (exeFolder ends in a backslash), and whether the name will do.
std::string NewDictionaryPath(const std::string& exeFolder, const std::string& name);
enum class NewNameProblem { kNone, kEmpty, kBadCharacter, kExists };
NewNameProblem CheckNewDictionaryName(const std::string& name, const std::function<bool(const std::string&)>& fileExists,
                                      const std::string& path);
