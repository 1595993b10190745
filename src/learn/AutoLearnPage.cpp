#include "learn/AutoLearnPage.h"

#include <algorithm>
#include <cstdlib>

#include "config/OptionPages.h"

void CAutoLearnPageModel::FillList(const std::function<bool(std::int32_t, std::int32_t)>& keepGoing) {
  if (!m_engine || m_listLoaded) return;
  m_rows.clear();
  const std::int32_t total = m_engine->GetRecordCount();
  bool cancelled = false;
  std::int32_t done = 0;
  // Gathered in file order and turned round once: inserting each record at
  // the top of a long list would move every row each time.
  for (m_engine->MoveFirst(); !m_engine->IsEOF(); m_engine->MoveNext()) {
    m_rows.push_back(Row{m_engine->strWord, std::to_string(m_engine->nCount)});
    ++done;
    if (keepGoing && !keepGoing(done, total)) {
      cancelled = true;
      break;
    }
  }
  std::reverse(m_rows.begin(), m_rows.end());
  m_listLoaded = true;
  m_listComplete = !cancelled;
}

void CAutoLearnPageModel::AddRow() {
  m_rows.insert(m_rows.begin(), Row{});
  m_adding = true;
  listChanged = true;
}

void CAutoLearnPageModel::EndLabelEdit(std::size_t row, const char* text) {
  if (row >= m_rows.size()) return;
  const bool added = m_adding && row == 0;
  m_adding = false;
  if (text && *text) {
    m_rows[row] = Row{text, "1"};
    listChanged = true;
  } else if (added) {
    m_rows.erase(m_rows.begin());
  }
}

void CAutoLearnPageModel::DeleteRows(std::vector<std::size_t> rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  // From the last to the first, so that the numbers of those still to go
  // stay right.
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
    if (*it < m_rows.size()) m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(*it));
  }
  listChanged = true;
}

void CAutoLearnPageModel::DeleteAllRows() {
  m_rows.clear();
  listChanged = true;
}

bool CAutoLearnPageModel::Import(const std::string& path, WaitProgress* wait, std::int32_t* count) {
  if (count) *count = 0;
  if (!m_engine) return false;
  const bool ok = m_engine->Import(path, wait, count);
  // The file may have taken part of the text even when it failed later.
  m_listLoaded = false;
  FillList();
  return ok;
}

bool CAutoLearnPageModel::SaveList() {
  if (!m_engine || !m_listComplete) return false;
  std::vector<CAutoLearn::Entry> entries;
  entries.reserve(m_rows.size());
  for (auto it = m_rows.rbegin(); it != m_rows.rend(); ++it) {
    if (it->word.empty()) continue;
    entries.push_back(CAutoLearn::Entry{it->word, std::atoi(it->count.c_str())});
  }
  if (!m_engine->ReplaceAll(entries)) return false;
  listChanged = false;
  return true;
}

bool CAutoLearnPageModel::TakeMinLength(const std::string& text) {
  const std::optional<std::int32_t> value = config::ParseWholeNumber(text);
  if (!value || *value < kMinLengthLow || *value > kMinLengthHigh) return false;
  minLength = *value;
  return true;
}
