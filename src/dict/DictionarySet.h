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

#include "dict/DictItem.h"
#include "dict/Dictionary.h"

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

  // The order of a merged lookup. By key: ascending by key without case
  // distinction. Common first: the dictionaries without commonness values
  // by key as above, then those with values, the most common entry first
  // (ties by key; a tie of both goes to the later dictionary).
  enum class Order { ByKey, CommonFirst };
  bool FindFirst(const char* text, DictItem& outItem, int32_t matchFlags, bool includeShorthands,
                 Order order = Order::ByKey);
  bool FindNext(DictItem& outItem);
  // Builds the in-memory order of every words dictionary and of every one
  // with commonness values, so that the first lookup by commonness or for
  // words near a typed one costs no more than the others.
  void PrepareCommon();
  // Entries of the words dictionaries whose beginning is within maxEdits
  // edits of the text (CDictionary::FindNear), the closest first, then the
  // most common, then by key; one per key, at most limit.
  void FindNear(const char* text, int maxEdits, size_t limit, int32_t matchFlags, std::vector<CDictionary::Near>& out);

  // Key length limits for words dictionaries, also for those loaded later.
  void SetKeyLengthLimits(int32_t minLength, int32_t maxLength);

  bool IsEnabled(const CDictionary& dictionary) const;
  void SetEnabled(const std::string& path, bool enabled);

  int32_t GetCount() const { return m_nCount; }
  const std::string& GetPath(int32_t index) const { return m_aPaths[static_cast<size_t>(index)]; }
  CDictionary& GetDictionary(int32_t index) { return *m_aDictionaries[static_cast<size_t>(index)]; }

 private:
  // The dictionary with the lowest pending key (of those with or without
  // values, as `ranked` says); a tie goes to the later one.
  int32_t BestSlot(bool ranked) const;

  std::vector<std::string> m_aPaths;
  std::vector<DictItem> m_aSlots;
  // Per dictionary: whether the running lookup takes it by commonness, and
  // the value of its pending result.
  std::vector<char> m_aRanked;
  std::vector<int32_t> m_aSlotValues;
  int32_t m_bIncludeShorthands = 1;
  int32_t m_nMinKeyLength = 1;
  int32_t m_nMaxKeyLength = 500;
  int32_t m_nCount = 0;
  std::vector<std::unique_ptr<CDictionary>> m_aDictionaries;

  EnabledTest m_isEnabled;
  EnabledSetter m_setEnabled;
};
