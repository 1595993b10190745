// CDictionarySet: the loaded dictionaries and their merged lookup. Results
// of all dictionaries come out as one sequence, ascending by key without case
// distinction; equal keys come from the dictionary loaded later first.
//
// Ownership: the set owns its dictionaries. Whether a file is enabled is
// asked through the functions given at construction (the options store);
// without them every file counts as enabled.
// Threading: one thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dict/dict_item.h"
#include "dict/dictionary.h"

class CDictionarySet {
 public:
  using EnabledTest = std::function<bool(const std::string& path)>;
  using EnabledSetter = std::function<void(const std::string& path, bool enabled)>;

  explicit CDictionarySet(EnabledTest isEnabled = {}, EnabledSetter setEnabled = {});
  virtual ~CDictionarySet();
  CDictionarySet(const CDictionarySet&) = delete;
  CDictionarySet& operator=(const CDictionarySet&) = delete;

  // Loads every file matching the wildcard pattern ("folder\*.lib"), leaving
  // out disabled files unless includeDisabled. True if at least one opened;
  // a file that does not open keeps its place and finds nothing.
  bool LoadAll(const char* pattern, bool includeDisabled);
  // The same for a list of files, loaded in the order given.
  bool LoadFiles(std::vector<std::string> paths, bool includeDisabled);
  void UnloadAll();

  bool FindFirst(const char* text, DictItem& outItem, int32_t matchFlags, bool includeShorthands);
  bool FindNext(DictItem& outItem);

  // Key length limits for words dictionaries, also for those loaded later.
  void SetKeyLengthLimits(int32_t minLength, int32_t maxLength);

  bool IsEnabled(const CDictionary& dictionary) const;
  void SetEnabled(const std::string& path, bool enabled);

  int32_t GetCount() const { return m_nCount; }
  const std::string& GetPath(int32_t index) const { return m_aPaths[static_cast<size_t>(index)]; }
  CDictionary& GetDictionary(int32_t index) { return *m_aDictionaries[static_cast<size_t>(index)]; }

 private:
  // The dictionary with the lowest pending key; a tie goes to the later one.
  int32_t BestSlot() const;

  std::vector<std::string> m_aPaths;
  std::vector<DictItem> m_aSlots;
  int32_t m_bIncludeShorthands = 1;
  int32_t m_nMinKeyLength = 1;
  int32_t m_nMaxKeyLength = 500;
  int32_t m_nCount = 0;
  std::vector<std::unique_ptr<CDictionary>> m_aDictionaries;

  EnabledTest m_isEnabled;
  EnabledSetter m_setEnabled;
};
