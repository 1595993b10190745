#include "dict/DictionarySet.h"

#include <algorithm>

#include "platform/CodePage.h"
#include "platform/FileSearch.h"

CDictionarySet::CDictionarySet(EnabledTest isEnabled, EnabledSetter setEnabled)
    : m_isEnabled(std::move(isEnabled)), m_setEnabled(std::move(setEnabled)) {}

CDictionarySet::~CDictionarySet() { UnloadAll(); }

bool CDictionarySet::LoadAll(const char* pattern, bool includeDisabled) {
  if (pattern == nullptr || *pattern == '\0') {
    UnloadAll();
    return false;
  }
  return LoadFiles(platform::FindFiles(pattern), includeDisabled);
}

bool CDictionarySet::LoadFiles(std::vector<std::string> paths, bool includeDisabled) {
  UnloadAll();
  for (std::string& path : paths) {
    if (path.empty()) continue;
    if (!includeDisabled && m_isEnabled && !m_isEnabled(path)) continue;
    m_aPaths.push_back(std::move(path));
  }
  if (m_aPaths.empty()) return false;
  m_nCount = static_cast<int32_t>(m_aPaths.size());
  m_aSlots.resize(m_aPaths.size());
  m_aRanked.assign(m_aPaths.size(), 0);
  m_aSlotValues.assign(m_aPaths.size(), 0);
  bool anyOpen = false;
  for (const std::string& path : m_aPaths) {
    auto dictionary = std::make_unique<CDictionary>();
    if (dictionary->Open(path.c_str())) anyOpen = true;
    dictionary->SetKeyLengthLimits(m_nMinKeyLength, m_nMaxKeyLength);
    m_aDictionaries.push_back(std::move(dictionary));
  }
  return anyOpen;
}

void CDictionarySet::UnloadAll() {
  for (auto& dictionary : m_aDictionaries) dictionary->Close();
  m_aPaths.clear();
  m_aSlots.clear();
  m_aRanked.clear();
  m_aSlotValues.clear();
  m_aDictionaries.clear();
  m_nCount = 0;
}

int32_t CDictionarySet::BestSlot(bool ranked) const {
  int32_t best = -1;
  for (int32_t i = 0; i < m_nCount; ++i) {
    const DictItem& slot = m_aSlots[static_cast<size_t>(i)];
    if (slot.key.get() == nullptr || (m_aRanked[static_cast<size_t>(i)] != 0) != ranked) continue;
    if (best < 0) {
      best = i;
      continue;
    }
    const int32_t value = m_aSlotValues[static_cast<size_t>(i)];
    const int32_t bestValue = m_aSlotValues[static_cast<size_t>(best)];
    if (value > bestValue ||
        (value == bestValue &&
         platform::MbsCompareNoCase(slot.Key(), m_aSlots[static_cast<size_t>(best)].Key()) <= 0))
      best = i;
  }
  return best;
}

bool CDictionarySet::FindFirst(const char* text, DictItem& outItem, int32_t matchFlags,
                               bool includeShorthands, Order order) {
  m_bIncludeShorthands = includeShorthands ? 1 : 0;
  if (text == nullptr) return false;
  for (int32_t i = 0; i < m_nCount; ++i) {
    DictItem& slot = m_aSlots[static_cast<size_t>(i)];
    CDictionary& dictionary = *m_aDictionaries[static_cast<size_t>(i)];
    m_aSlotValues[static_cast<size_t>(i)] = 0;
    m_aRanked[static_cast<size_t>(i)] =
        order == Order::CommonFirst && (matchFlags & DICT_MATCH_START) && dictionary.HasCommonness();
    if (dictionary.GetType() == DICT_TYPE_SHORTHAND && !m_bIncludeShorthands) {
      slot.Clear();
      continue;
    }
    // A miss leaves the slot empty.
    if (m_aRanked[static_cast<size_t>(i)]) {
      if (dictionary.FindFirstCommon(text, slot, matchFlags))
        m_aSlotValues[static_cast<size_t>(i)] = dictionary.CurrentCommonness();
    } else {
      dictionary.FindFirst(text, slot, matchFlags);
    }
  }
  return FindNext(outItem);
}

bool CDictionarySet::FindNext(DictItem& outItem) {
  // Dictionaries without values first, by key; then those with values.
  int32_t best = BestSlot(false);
  if (best < 0) best = BestSlot(true);
  if (best < 0) return false;
  const auto at = static_cast<size_t>(best);
  outItem = m_aSlots[at];
  CDictionary& dictionary = *m_aDictionaries[at];
  if (dictionary.FindNext(m_aSlots[at]) && m_aRanked[at]) m_aSlotValues[at] = dictionary.CurrentCommonness();
  return true;
}

void CDictionarySet::PrepareCommon() {
  for (auto& dictionary : m_aDictionaries)
    if (dictionary->GetType() == DICT_TYPE_WORDS || dictionary->HasCommonness()) dictionary->PrepareCommon();
}

void CDictionarySet::FindNear(const char* text, int maxEdits, size_t limit, int32_t matchFlags,
                              std::vector<CDictionary::Near>& out) {
  out.clear();
  // Each dictionary's best, ordered together before any item is read.
  struct Found {
    int32_t dictionary;
    CDictionary::Near near;
    std::string_view key;
  };
  std::vector<Found> all;
  std::vector<CDictionary::Near> found;
  for (int32_t i = 0; i < m_nCount; ++i) {
    CDictionary& dictionary = *m_aDictionaries[static_cast<size_t>(i)];
    dictionary.FindNear(text, maxEdits, limit, found);
    for (auto& near : found) {
      const std::string_view key = dictionary.NearKey(near);
      all.push_back({i, std::move(near), key});
    }
  }
  std::stable_sort(all.begin(), all.end(), [](const Found& a, const Found& b) {
    if (a.near.distance != b.near.distance) return a.near.distance < b.near.distance;
    if (a.near.value != b.near.value) return a.near.value > b.near.value;
    return a.key < b.key;
  });
  for (Found& f : all) {
    if (out.size() >= limit) break;
    if (!m_aDictionaries[static_cast<size_t>(f.dictionary)]->FillNear(f.near, text, matchFlags)) continue;
    const bool seen = std::any_of(out.begin(), out.end(),
                                  [&](const CDictionary::Near& u) { return u.item.Key() == f.near.item.Key(); });
    if (!seen) out.push_back(std::move(f.near));
  }
}

void CDictionarySet::SetKeyLengthLimits(int32_t minLength, int32_t maxLength) {
  m_nMinKeyLength = minLength;
  m_nMaxKeyLength = maxLength;
  for (auto& dictionary : m_aDictionaries) dictionary->SetKeyLengthLimits(minLength, maxLength);
}

bool CDictionarySet::IsEnabled(const CDictionary& dictionary) const {
  return !m_isEnabled || m_isEnabled(dictionary.GetPath());
}

void CDictionarySet::SetEnabled(const std::string& path, bool enabled) {
  if (m_setEnabled) m_setEnabled(path, enabled);
}
