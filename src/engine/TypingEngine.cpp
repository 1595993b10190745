#include "engine/TypingEngine.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "config/Config.h"
#include "dict/DictionarySet.h"
#include "learn/AutoLearn.h"
#include "platform/CodePage.h"

namespace engine {

namespace {

constexpr uint8_t kVkBack = 0x08;
constexpr uint8_t kVkEscape = 0x1B;
constexpr uint32_t kAttributeDirectory = 0x10;
// The value of an empty prompt-key slot; a key the layout has no virtual key
// for arrives with it too.
constexpr uint8_t kNoKey = 0xFF;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

bool IsPathType(int32_t type) { return type == kTypeFile || type == kTypeDirectory; }

// A shorthand whose expansion differs from its abbreviation: offered even
// when the abbreviation is typed in full.
bool Expands(const DictItem& item) {
  return item.type == DICT_TYPE_SHORTHAND && !item.Data().empty() && item.Data() != item.Key();
}

}  // namespace

CTypingEngine::CTypingEngine(EngineHost& host, PromptView& prompt, CaretInfo& caret,
                             EngineDesktop& desktop, CompletionOutput& output, CConfig& config,
                             CDictionarySet& dictSet, CAutoLearn& autoLearn)
    : m_aSavedInput(kSavedSlots),
      m_host(host),
      m_prompt(prompt),
      m_caret(caret),
      m_desktop(desktop),
      m_output(output),
      m_config(config),
      m_dictSet(dictSet),
      m_autoLearn(autoLearn) {}

CTypingEngine::~CTypingEngine() { ClearCandidates(); }

void CTypingEngine::ApplyOptions() {
  m_bShorthand = m_config.bEnableShorthand != 0;
  m_nMinInput = m_config.nMinInput;
  m_nPageSize = m_config.nMaxItemShow;
  m_nMatchFlags = m_config.bEnablePhrase ? (m_nMatchFlags | kMatchPhrases) : (m_nMatchFlags & ~kMatchPhrases);
  m_nMatchFlags = m_config.bEnableWord ? (m_nMatchFlags | kMatchWords) : (m_nMatchFlags & ~kMatchWords);
  m_dictSet.SetKeyLengthLimits(m_config.nMinWordLength, m_config.nMaxWordLength);
}

intptr_t CTypingEngine::OnMessage(unsigned message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case WM_HOOK_KEY:
      return OnHookKey(wParam, lParam);
    case WM_INPUT_CHANGED:
      OnInputChanged();
      return 0;
    case WM_SELECT_ITEM:
      return Select(static_cast<int>(static_cast<intptr_t>(wParam)));
    case WM_COMPLETE_ITEM:
      return OnCompleteItem();
    default:
      return 0;
  }
}

void CTypingEngine::OnTimer(int id) {
  if (id == kFocusTrackingTimer) {
    m_bFocusTracking = true;
    m_host.KillTimer(kFocusTrackingTimer);
  }
}

// ---- input tracking ----------------------------------------------------------

int CTypingEngine::OnHookKey(uintptr_t wParam, intptr_t lParam) {
  if (!m_caret.IsTypingWindow()) {
    m_strInput.clear();
    NoteKeyChecks(m_caret.NotTypingReason());
    return 1;
  }
  if (!m_config.IsWorkOnWindow(m_caret.FocusWindow())) {
    m_strInput.clear();
    NoteKeyChecks(RulesReason());
    return 1;
  }
  NoteKeyChecks(PromptReason::Code::kOn);
  std::string keyText;
  if (char first = static_cast<char>(wParam & 0xFF)) {
    keyText += first;
    if (char second = static_cast<char>((wParam >> 8) & 0xFF)) keyText += second;
  }
  const uint8_t vk = static_cast<uint8_t>((lParam >> 8) & 0xFF);
  const bool pressed = (lParam & 0x0F) == 0;

  if (vk == kVkBack) {
    if (!pressed) return 0;
    size_t n = m_strInput.size();
    if (n >= 2 && platform::IsDbcsLeadByte(static_cast<unsigned char>(m_strInput[n - 1])) &&
        platform::IsDbcsLeadByte(static_cast<unsigned char>(m_strInput[n - 2])))
      m_strInput.resize(n - 2);
    else if (n > 0)
      m_strInput.resize(n - 1);
    m_host.PostToSelf(WM_INPUT_CHANGED);
  }

  // An unmapped key matches no prompt key: the empty slots hold the same value.
  if (m_prompt.IsVisible() && vk != kNoKey) {
    if (vk == m_config.vkSelectPrev) {
      if (pressed) Select(-1);
      return 0;
    }
    if (vk == m_config.vkSelectNext) {
      if (pressed) Select(-2);
      return 0;
    }
    if (vk == m_config.vkSelectPageDown) {
      if (pressed) Select(-5);
      return 0;
    }
    if (vk == m_config.vkSelectPageUp) {
      if (pressed) Select(-4);
      return 0;
    }
    for (int slot = 0; slot < 10; ++slot) {
      if (m_config.vkSelectIndex[slot] != vk) continue;
      if (!pressed && Select(slot) == 0) m_host.PostToSelf(WM_COMPLETE_ITEM);
      return 0;
    }
    for (int slot = 0; slot < 10; ++slot) {
      if (m_config.vkSelect[slot] != vk) continue;
      if (!pressed && Select(-6) == 0) m_host.PostToSelf(WM_COMPLETE_ITEM);
      return 0;
    }
    if (vk == kVkEscape) {
      m_strInput.clear();
      ShowPrompt(false);
      return 0;
    }
  }

  if (keyText.empty() || !pressed) return 1;
  for (char c : keyText) {
    // Signed bytes: anything from 0x80 up counts as below 0x20 too.
    if (static_cast<signed char>(c) < 0x20 && c != '\r' && c != '\n') return 1;
  }
  if (m_strInput.size() > kInputLimit) m_strInput.erase(0, m_strInput.size() - kInputLimit);
  m_strInput += keyText;
  m_bTypedSinceLookup = true;
  m_host.PostToSelf(WM_INPUT_CHANGED);
  return 1;
}

void CTypingEngine::OnFocusLeft(WindowHandle window) {
  auto held = std::find_if(m_aSavedInput.begin(), m_aSavedInput.end(),
                           [&](const SavedInput& s) { return s.window == window; });
  if (held != m_aSavedInput.end()) {
    if (!m_strInput.empty()) {
      held->text = m_strInput;
    } else {
      held->window = 0;
      held->text.clear();
    }
    return;
  }
  if (m_strInput.empty()) return;
  for (SavedInput& slot : m_aSavedInput) {
    if (slot.window == 0 || !m_desktop.IsWindowValid(slot.window)) {
      slot.window = window;
      slot.text = m_strInput;
      return;
    }
  }
}

void CTypingEngine::OnFocusEntered(WindowHandle window) {
  if (!m_bFocusTracking) return;
  // Worked out once the focus has moved, with the lookup this posts.
  m_bReasonStale = true;
  m_strInput.clear();
  // Text typed there before is taken up again only where the rules let the
  // engine work: the prompt must not come back in an application the user
  // has switched it off for.
  if (window != 0 && window != m_host.MainWindow() && m_config.IsWorkOnWindow(window)) {
    for (const SavedInput& slot : m_aSavedInput) {
      if (slot.window == window) {
        m_strInput = slot.text;
        break;
      }
    }
  }
  m_host.PostToSelf(WM_INPUT_CHANGED);
}

// ---- candidate lookup --------------------------------------------------------

bool CTypingEngine::IsQuerySeparator(unsigned char c) {
  switch (c) {
    case ' ': case ',': case '<': case '>': case '?': case ':': case '.': case ';':
    case '\'': case '"': case '[': case '{': case ']': case '}': case '=': case '+':
    case '!': case '@': case '#': case '$': case '%': case '^': case '&': case '*':
    case '(': case ')': case '\r': case '\n': case '\t':
      return true;
    default:
      return false;
  }
}

std::string CTypingEngine::Tail(int n) const {
  size_t start = 0;
  int seen = 0;
  for (size_t i = m_strInput.size(); i-- > 0;) {
    if (IsQuerySeparator(static_cast<unsigned char>(m_strInput[i])) && ++seen == n + 1) {
      start = i + 1;
      break;
    }
  }
  while (start < m_strInput.size() && IsBlank(m_strInput[start])) ++start;
  return m_strInput.substr(start);
}

void CTypingEngine::OnInputChanged() {
  if (m_bReasonStale) RefreshReason();
  const bool typed = m_bTypedSinceLookup;
  m_bTypedSinceLookup = false;
  for (int n = 2; n >= 0; --n) {
    m_strQuery = Tail(n);
    if (m_strQuery.empty()) {
      ShowPrompt(false);
      return;
    }
    if (PathLookup()) {
      ShowPrompt(true);
      return;
    }
    if (static_cast<int>(m_strQuery.size()) >= m_nMinInput && DictionaryLookup()) {
      ShowPrompt(true);
      return;
    }
    if (n == 1 && m_autoLearn.EndsWithSeparator(m_strQuery)) {
      if (typed) m_autoLearn.SaveInput(m_strInput);
      m_strQuery.clear();
      ShowPrompt(false);
      return;
    }
    if (n == 0) {
      m_strQuery.clear();
      ShowPrompt(false);
      return;
    }
  }
}

bool CTypingEngine::PathLookup() {
  if (m_strQuery.size() < 3 || m_strQuery[1] != ':' || m_strQuery[2] != '\\') return false;
  size_t slash = m_strQuery.rfind('\\');
  std::string folder = m_strQuery.substr(0, slash + 1);
  std::string name = platform::MbsLower(m_strQuery.substr(slash + 1));
  std::vector<FolderEntry> entries;
  if (!m_desktop.ListFolder(folder + "*.*", entries)) return false;
  ClearCandidates();
  size_t read = 0;
  for (const FolderEntry& e : entries) {
    if (read++ >= kPathEntryLimit) break;
    if (e.name == "." || e.name == "..") continue;
    if (!name.empty() && platform::MbsFind(platform::MbsLower(e.name), name) == std::string::npos)
      continue;
    // Read-only, hidden, system or not-indexed folders carry more bits than
    // the directory bit alone; the directory bit decides.
    const bool folder = (e.attributes & kAttributeDirectory) != 0;
    m_aCandidates.emplace_back(e.name, e.name, folder ? kTypeDirectory : kTypeFile);
  }
  if (m_aCandidates.empty()) return false;
  // A path list is one page: a dictionary page shown before is no page of it.
  m_nPageStart = 0;
  return FillPage(0, 10);
}

bool CTypingEngine::DictionaryLookup() {
  ClearCandidates();
  m_bCommonFirst = m_config.bCommonFirst != 0;
  m_bQueryIsWord = false;
  std::vector<std::string_view> learned =
      m_bCommonFirst ? m_autoLearn.FindAllByUse(m_strQuery) : m_autoLearn.FindAll(m_strQuery);
  m_aCandidates.reserve(learned.size() + static_cast<size_t>(m_nPageSize) + 1);
  // A learned word's data would only repeat its key (and show no preview):
  // it is left out, which halves the allocations of a long series.
  for (std::string_view word : learned) {
    if (word == m_strQuery) {
      m_bQueryIsWord = true;
      if (m_bCommonFirst) continue;  // typed in full already
    }
    m_aCandidates.emplace_back(word, std::string_view(), kTypeLearned);
  }
  m_nAutoLearnCount = static_cast<int>(m_aCandidates.size());
  DictItem item;
  const auto order = m_bCommonFirst ? CDictionarySet::Order::CommonFirst : CDictionarySet::Order::ByKey;
  if (m_dictSet.FindFirst(m_strQuery.c_str(), item, m_nMatchFlags, m_bShorthand, order)) {
    AddFetched(std::move(item));
  } else if (m_aCandidates.empty()) {
    if (!AddCorrections()) return false;
    m_nPageStart = 0;
    return FillPage(0, m_nPageSize);
  }
  m_nPageStart = 0;
  bool shown = NextPage(m_nPageSize);
  if (m_aCandidates.size() == 1) {
    // A word already typed in full is not offered again. A shorthand whose
    // abbreviation is typed in full still is: its expansion differs.
    const DictItem& only = m_aCandidates[0];
    if (only.Key() == m_strQuery && !Expands(only)) {
      ClearCandidates();
      return false;
    }
  }
  if (AddCorrections()) shown = FillPage(0, m_nPageSize);
  return shown;
}

bool CTypingEngine::AddCorrections() {
  // A word the dictionaries or the learned words hold is no mistake.
  if (!m_config.bFixTypos || m_bQueryIsWord || m_aCandidates.size() >= static_cast<size_t>(m_nPageSize))
    return false;
  for (char c : m_strQuery)
    if (IsQuerySeparator(static_cast<unsigned char>(c)) || IsBlank(c)) return false;
  // Letters, not bytes: a double-byte character is one.
  size_t letters = 0;
  for (size_t i = 0; i < m_strQuery.size(); i += platform::CharLength(m_strQuery, i)) ++letters;
  if (letters < 3) return false;
  // Two edits (from seven letters on) only when one finds nothing: the
  // closer words come first anyway, and the wider search costs the most.
  std::vector<CDictionary::Near> near;
  const size_t limit = static_cast<size_t>(m_nPageSize) * 2;
  m_dictSet.FindNear(m_strQuery.c_str(), 1, limit, m_nMatchFlags, near);
  if (near.empty() && letters >= 7) m_dictSet.FindNear(m_strQuery.c_str(), 2, limit, m_nMatchFlags, near);
  bool added = false;
  for (CDictionary::Near& n : near) {
    const std::string_view key = n.item.Key();
    if (key == m_strQuery) continue;
    if (std::any_of(m_aCandidates.begin(), m_aCandidates.end(), [&](const DictItem& c) { return c.Key() == key; }))
      continue;
    n.item.type = kTypeCorrection;
    m_aCandidates.push_back(std::move(n.item));
    added = true;
  }
  return added;
}

void CTypingEngine::AddFetched(DictItem&& item) {
  if (item.type == DICT_TYPE_WORDS && item.Key() == m_strQuery) m_bQueryIsWord = true;
  // In the common-first order what is typed in full already is not offered.
  if (m_bCommonFirst && item.Key() == m_strQuery && !Expands(item)) return;
  for (DictItem& earlier : m_aCandidates) {
    if (earlier.Key() != item.Key()) continue;
    // In the common-first order a learned word is offered once, as learned.
    if (m_bCommonFirst && earlier.type == kTypeLearned) return;
    if (earlier.type != item.type) continue;
    // The same key from another dictionary: its text joins the first one's,
    // both kept whole.
    if (earlier.dataLength > 0) {
      std::string joined(earlier.Data());
      joined += "\r\n\r\n";
      joined += item.Data();
      earlier.SetData(joined);
    }
    return;
  }
  m_aCandidates.push_back(std::move(item));
}

bool CTypingEngine::NextPage(int count) {
  // A path list is shown whole; the dictionary cursor belongs to an earlier
  // lookup and must not add its words to it.
  if (!m_aCandidates.empty() && IsPathType(m_aCandidates[0].type)) return false;
  const int shown = m_prompt.RowCount();
  if (shown > 0 && shown < m_nPageSize) return false;
  const size_t want = static_cast<size_t>(std::max(0, m_nPageStart + shown + count));
  while (m_aCandidates.size() < want) {
    DictItem item;
    if (!m_dictSet.FindNext(item)) break;
    AddFetched(std::move(item));
  }
  if (m_aCandidates.size() <= static_cast<size_t>(m_nPageStart + shown)) return false;
  m_nPageStart += shown;
  return FillPage(m_nPageStart, m_nPageSize);
}

bool CTypingEngine::PreviousPage() {
  if (m_nPageStart < 1) return false;
  m_nPageStart = std::max(0, m_nPageStart - m_nPageSize);
  return FillPage(m_nPageStart, m_nPageSize);
}

bool CTypingEngine::FillPage(int start, int count) {
  if (start < 0 || static_cast<size_t>(start) >= m_aCandidates.size()) return false;
  const bool pathRows = IsPathType(m_aCandidates[0].type);
  if (pathRows) {
    // Directories first, then files, each group in name order; an entry
    // goes before the first one that compares greater or equal.
    std::vector<DictItem> ordered;
    ordered.reserve(m_aCandidates.size());
    for (DictItem& c : m_aCandidates) {
      auto at = std::find_if(ordered.begin(), ordered.end(), [&](const DictItem& o) {
        bool cDir = c.type == kTypeDirectory, oDir = o.type == kTypeDirectory;
        if (cDir != oDir) return oDir < cDir;  // o is a file, c a directory
        return platform::MbsCompareNoCase(o.Key(), c.Key()) >= 0;
      });
      ordered.insert(at, std::move(c));
    }
    m_aCandidates = std::move(ordered);
    start = 0;
    count = static_cast<int>(m_aCandidates.size());
  }
  m_prompt.DeleteAllRows();
  const int end = std::min<int>(start + count, static_cast<int>(m_aCandidates.size()));
  for (int i = start; i < end; ++i) {
    const DictItem& c = m_aCandidates[i];
    if (!m_prompt.InsertRow(i - start, std::string(c.Key()), c.type - 1, i)) break;
  }
  if (m_prompt.RowCount() > 0) {
    m_prompt.SelectRow(0);
    PrepareItem(m_prompt.RowItemData(0));
  }
  m_prompt.Arrange(pathRows, m_prompt.RowCount(), m_nPageSize);
  if (m_prompt.SelectedRow() < 0) {
    m_prompt.HidePreview();
    return false;
  }
  m_prompt.PlacePreview();
  return true;
}

void CTypingEngine::PrepareItem(int index) {
  if (index < 0 || static_cast<size_t>(index) >= m_aCandidates.size()) {
    m_strItemText.clear();
    return;
  }
  const DictItem& c = m_aCandidates[index];
  std::string key(c.Key());
  std::string data(c.Data());
  std::string preview;
  int style = 1;
  switch (c.type) {
    case DICT_TYPE_SHORTHAND:
      m_strItemText = data.empty() ? key : data;
      m_nItemKind = kKindShorthand;
      style = 2;
      if (m_strItemText != key) preview = m_strItemText;
      break;
    case kTypeFile:
    case kTypeDirectory:
      m_strItemText = key;
      m_nItemKind = c.type == kTypeFile ? kKindFile : kKindDirectory;
      if (data != key) preview = data;
      break;
    case kTypeCorrection:  // the preview shows the word meant
      m_strItemText = key;
      m_nItemKind = kKindReplace;
      preview = key;
      break;
    default:  // words, phrases and learned words
      m_strItemText = key;
      m_nItemKind = kKindReplace;
      if (data != key) preview = data;
      break;
  }
  if (m_strItemText.size() > kItemTextLimit) m_strItemText.resize(kItemTextLimit);
  m_prompt.SetPreview(preview, style);
}

int CTypingEngine::Select(int code) {
  const int rows = m_prompt.RowCount();
  if (m_prompt.SelectedRow() < 0) {
    m_prompt.SelectRow(0);
    if (rows > 0) PrepareItem(m_prompt.RowItemData(0));
    return 1;
  }
  int cur = m_prompt.SelectedRow();
  int result = 0;
  if (code == -1) {
    cur -= 1;
  } else if (code == -2) {
    cur += 1;
  } else if (code >= 0 && code <= 9) {
    cur = code;
    if (code >= rows) {
      m_host.Beep();
      result = 1;
    }
  }
  if (cur >= rows || code == -5) {
    if (NextPage(m_nPageSize)) cur = 0;
    else cur = m_prompt.RowCount() - 1;
  } else if (cur < 0 || code == -4) {
    if (PreviousPage()) cur = m_prompt.RowCount() - 1;
    else cur = 0;
  }
  m_prompt.SelectRow(cur);
  PrepareItem(m_prompt.RowItemData(cur));
  m_prompt.PlacePreview();
  return result;
}

void CTypingEngine::OnRowSelected(int row) {
  if (row >= 0 && row < m_prompt.RowCount()) PrepareItem(m_prompt.RowItemData(row));
}

void CTypingEngine::OnRowDoubleClick(int row) {
  if (Select(row) == 0) m_host.PostToSelf(WM_COMPLETE_ITEM);
}

void CTypingEngine::ShowPrompt(bool show) {
  if (show) NoteIme(m_desktop.ForegroundHasIme());
  if (!show || m_bImeActive) {
    m_prompt.Hide();
    return;
  }
  Point at = m_caret.GetCaretPoint();
  if (at.x != 0 && at.y != 0) m_prompt.ShowAt(at);
}

void CTypingEngine::RepositionPrompt() {
  if (m_prompt.IsVisible()) ShowPrompt(true);
}

void CTypingEngine::ClearCandidates() {
  m_aCandidates.clear();
  m_prompt.DeleteAllRows();
  m_nAutoLearnCount = 0;
}

// ---- why there is a prompt, or none ----------------------------------------------

void CTypingEngine::SetReason(PromptReason::Code code, std::string detail) {
  if (m_reason.code == code && m_reason.detail == detail) return;
  m_reason.code = code;
  m_reason.detail = std::move(detail);
  m_host.ReasonChanged();
}

// The checks a key goes through, in their order: switched off, then the
// window's rights (both known only from the focus change; keys typed there
// do not reach the hook), the typing window, the application rules, the
// input method (asked for where the prompt would show).
void CTypingEngine::RefreshReason() {
  using Code = PromptReason::Code;
  m_bReasonStale = false;
  if (m_bSwitchedOff) return;
  const WindowHandle focus = m_caret.FocusWindow();
  m_bImeActive = false;
  if (focus == 0) return SetReason(Code::kNoWindow);
  if (m_desktop.RunsWithHigherRights(focus)) return SetReason(Code::kHigherRights);
  Code code = Code::kOn;
  if (!m_caret.IsTypingWindow()) code = m_caret.NotTypingReason();
  else if (!m_config.IsWorkOnWindow(focus)) code = RulesReason();
  else if ((m_bImeActive = m_desktop.ForegroundHasIme())) code = Code::kIme;
  SetCheckedReason(code);
}

// Why the rules keep the engine out of the focus window: a rule of its own,
// or the one for other applications.
PromptReason::Code CTypingEngine::RulesReason() const {
  return m_config.bLastByRule ? PromptReason::Code::kAppRule : PromptReason::Code::kOtherApps;
}

// An application rule's reason names the executable it matched.
void CTypingEngine::SetCheckedReason(PromptReason::Code code) {
  SetReason(code, code == PromptReason::Code::kAppRule ? ExecutableName(m_config.strLastPath) : std::string());
}

// What a key found out, at the cost of comparing two small numbers when
// nothing changed.
void CTypingEngine::NoteKeyChecks(PromptReason::Code code) {
  using Code = PromptReason::Code;
  if (m_bSwitchedOff || m_reason.code == Code::kHigherRights) return;
  if (code == Code::kOn && m_bImeActive) code = Code::kIme;
  if (code != m_reason.code) SetCheckedReason(code);
}

void CTypingEngine::NoteIme(bool active) {
  m_bImeActive = active;
  if (m_reason.code == PromptReason::Code::kOn || m_reason.code == PromptReason::Code::kIme)
    SetReason(active ? PromptReason::Code::kIme : PromptReason::Code::kOn);
}

void CTypingEngine::SetSwitchedOff(bool off, const std::string& hotkeyText) {
  m_bSwitchedOff = off;
  if (off) SetReason(PromptReason::Code::kSwitchedOff, hotkeyText);
  else RefreshReason();
}

// ---- completion --------------------------------------------------------------

WindowHandle CTypingEngine::TopLevelOf(WindowHandle window) const {
  // Parent chains are short; the bound only guards against a cycle.
  for (int depth = 0; window != 0 && depth < 256; ++depth) {
    WindowHandle parent = m_desktop.WindowParent(window);
    if (parent == 0) return window;
    window = parent;
  }
  return window;
}

int CTypingEngine::OnCompleteItem() {
  const WindowHandle main = m_host.MainWindow();
  const WindowHandle focus = m_caret.FocusWindow();
  WindowHandle target = m_desktop.ForegroundWindow();
  if (target == main) target = TopLevelOf(focus);
  if (m_strQuery.empty() || target == 0 || m_strItemText.empty() || focus == main) return 0;

  m_desktop.SetForegroundWindow(target);
  const int kind = m_nItemKind;
  int erase = static_cast<int>(m_strQuery.size());
  if (kind == kKindDirectory || kind == kKindFile) {
    size_t slash = m_strQuery.rfind('\\');
    erase = (slash == std::string::npos || slash == 0)
                ? 0
                : static_cast<int>(m_strQuery.size() - slash - 1);
  }
  m_output.Backspaces(erase);

  std::string text = m_strItemText;
  switch (kind) {
    case kKindReplace:
      m_strInput.resize(m_strInput.size() >= m_strQuery.size() ? m_strInput.size() - m_strQuery.size() : 0);
      m_strInput += text;
      break;
    case kKindDirectory: {
      m_strItemText += '\\';
      text = m_strItemText;
      size_t slash = m_strInput.rfind('\\');
      m_strInput.resize(slash == std::string::npos ? 0 : slash + 1);
      m_strInput += text;
      break;
    }
    default:  // shorthands and files leave nothing to build on
      m_strInput.clear();
      break;
  }
  // A completion may bring in more than a key does; the buffer keeps the
  // bound it has for keys (only its tail matters for lookups and learning).
  if (m_strInput.size() > kInputLimit) m_strInput.erase(0, m_strInput.size() - kInputLimit);
  m_output.TypeMacroText(text, target);

  if (kind == kKindDirectory) m_host.PostToSelf(WM_INPUT_CHANGED);
  else ShowPrompt(false);
  m_bFocusTracking = false;
  m_host.SetTimer(kFocusTrackingTimer, 100);
  return 1;
}

}  // namespace engine
