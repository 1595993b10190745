#include "dict/Dictionary.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <unordered_map>

#include "mk/format.h"
#include "platform/CodePage.h"

namespace {

const char* const kDataLayout = "DBDATA[key:S,data:S]";
const char* const kInfoLayout = "DBINFO[prop:S,value:S]";
const char* const kCommonLayout = "DBRANK[key:S,rank:I]";
const char* const kCommonView = "DBRANK";
const char* const kUnknownCaption = "UNKNOWN DICTIONARY";

const c4_StringProp& KeyProp() {
  static const c4_StringProp prop("key");
  return prop;
}
const c4_StringProp& DataProp() {
  static const c4_StringProp prop("data");
  return prop;
}
const c4_IntProp& RankProp() {
  static const c4_IntProp prop("rank");
  return prop;
}
const c4_StringProp& NameProp() {
  static const c4_StringProp prop("prop");
  return prop;
}
const c4_StringProp& ValueProp() {
  static const c4_StringProp prop("value");
  return prop;
}

// Attribute values are decimal text read the way atoi reads them: leading
// blanks, a sign, then digits up to the first other character; anything
// else reads as 0.
int32_t ReadNumber(const char* text) {
  while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  long long value = 0;
  while (*text >= '0' && *text <= '9') {
    value = value * 10 + (*text++ - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int32_t>(value);
}

// Codes other than UTF-8 and UTF-16 mean the ANSI code page.
int32_t EffectiveCode(int32_t code) {
  return code == DICT_CODE_UTF8 || code == DICT_CODE_UTF16 ? code : DICT_CODE_ANSI;
}

std::string EncodeText(std::string_view ansi, int32_t code) {
  switch (EffectiveCode(code)) {
    case DICT_CODE_UTF8:
      return platform::AnsiToUtf8(ansi);
    case DICT_CODE_UTF16: {
      const std::u16string wide = platform::AnsiToUtf16(ansi);
      std::string bytes;
      bytes.reserve(wide.size() * 2);
      for (char16_t unit : wide) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
      }
      return bytes;
    }
    default:
      return std::string(ansi);
  }
}

// Whether a stored text reads back whole: a string property ends at the
// first zero byte.
bool HasZeroByte(const std::string& text) { return text.find('\0') != std::string::npos; }

}  // namespace

CDictionary::CDictionary() = default;

CDictionary::~CDictionary() { Close(); }

bool CDictionary::Open(const char* path) {
  Close();
  if (path == nullptr || *path == '\0') return false;
  m_strPath = path;
  auto strategy = std::make_unique<CLibFileStrategy>();
  bool readOnly = false;
  if (!strategy->DataOpen(path, 1)) {
    // A file we may read but not write (a read-only file or folder) still
    // serves lookups. Something that cannot be read, or is empty and cannot
    // be written to, is not a dictionary.
    char probe = 0;
    if (!strategy->DataOpen(path, 0) || strategy->FileSize() <= 0 ||
        strategy->DataRead(0, &probe, 1) != 1)
      return false;
    readOnly = true;
  }
  auto storage = std::make_unique<c4_Storage>(*strategy, false, readOnly ? 0 : 1);
  if (!storage->IsValid()) {
    // Not a storage we can read: leave the file exactly as it is. The storage
    // goes before its strategy.
    storage.reset();
    return false;
  }
  m_pStrategy = std::move(strategy);
  m_pStorage = std::move(storage);
  m_bReadOnly = readOnly;
  LoadInfo();
  m_bOpen = 1;
  if (m_nType == DICT_TYPE_SHORTHAND) m_nCaptionHeader = 0;
  return true;
}

void CDictionary::Close() {
  m_pData.reset();
  m_pInfo.reset();
  m_pRank.reset();
  m_pCommon.reset();
  m_nHasCommonness = -1;
  m_bCommonCursor = false;
  if (m_pStorage) {
    // Only changes not yet written are committed: a dictionary that was only
    // read (listed, looked up, exported) leaves its file as it found it, even
    // when reading added a view the file did not hold.
    if (!m_bReadOnly && m_bUncommitted) m_pStorage->Commit(false);
    m_pStorage.reset();
  }
  m_bUncommitted = false;
  m_pStrategy.reset();
  m_bOpen = 0;
  m_bReadOnly = false;
  m_strSearch.reset();
  m_strPath.reset();
  m_strDescription.reset();
  m_strCaption.reset();
}

c4_View* CDictionary::DataView() {
  if (!m_pStorage) return nullptr;
  if (!m_pData) m_pData = std::make_unique<c4_View>(m_pStorage->GetAs(kDataLayout));
  return m_pData.get();
}

c4_View* CDictionary::InfoView() {
  if (!m_pStorage) return nullptr;
  if (!m_pInfo) m_pInfo = std::make_unique<c4_View>(m_pStorage->GetAs(kInfoLayout));
  return m_pInfo.get();
}

bool CDictionary::CanChange() { return m_pStorage != nullptr && !m_bReadOnly; }

bool CDictionary::Commit() {
  if (!CanChange()) return false;
  m_bUncommitted = false;
  return m_pStorage->Commit(false);
}

bool CDictionary::LoadInfo() {
  c4_View* info = InfoView();
  if (info == nullptr) return false;
  auto read = [info](const char* name, auto&& store) {
    const int row = info->Find(NameProp()[name], 0);
    if (row >= 0) store(static_cast<const char*>(ValueProp()((*info)[row])));
  };
  read("DBTYPE", [this](const char* v) { m_nType = ReadNumber(v); });
  read("KEYCODE", [this](const char* v) { m_nKeyCode = ReadNumber(v); });
  read("DATACODE", [this](const char* v) { m_nDataCode = ReadNumber(v); });
  read("DBEDIT", [this](const char* v) { m_nEditFlags = ReadNumber(v); });
  read("DBEncrypt", [this](const char* v) { m_nScrambled = ReadNumber(v); });
  read("DBCAPTION", [this](const char* v) { m_strCaption = v; });
  read("DBDESCRIPTION", [this](const char* v) { m_strDescription = v; });
  return true;
}

bool CDictionary::SaveInfo() {
  if (!CanChange()) return false;
  c4_View* info = InfoView();
  if (info == nullptr || !info->IsWritable()) return false;
  auto write = [info](const char* name, const std::string& value) {
    const c4_Row row = NameProp()[name] + ValueProp()[value];
    const int at = info->Find(NameProp()[name], 0);
    if (at >= 0) {
      info->SetAt(at, row);
    } else {
      info->Add(row);
    }
  };
  write("DBTYPE", std::to_string(m_nType));
  write("KEYCODE", std::to_string(m_nKeyCode));
  write("DATACODE", std::to_string(m_nDataCode));
  write("DBEDIT", std::to_string(m_nEditFlags));
  write("DBEncrypt", std::to_string(m_nScrambled));
  if (m_strCaption) write("DBCAPTION", *m_strCaption);
  if (m_strDescription) write("DBDESCRIPTION", *m_strDescription);
  Commit();
  return true;
}

void CDictionary::SetCaption(const char* text, int length) {
  m_strCaption = (text == nullptr || length < 1) ? std::string() : std::string(text, static_cast<size_t>(length));
}

void CDictionary::SetDescription(const char* text, int length) {
  m_strDescription =
      (text == nullptr || length < 1) ? std::string() : std::string(text, static_cast<size_t>(length));
}

std::string CDictionary::GetCaption() const {
  if (m_strCaption && !m_strCaption->empty()) return *m_strCaption;
  if (m_strPath && !m_strPath->empty()) {
    // The file name without its folder. Windows paths use backslashes; the
    // forward slash of other systems counts too.
    const size_t cut = m_strPath->find_last_of("\\/");
    const std::string name = cut == std::string::npos ? *m_strPath : m_strPath->substr(cut + 1);
    if (!name.empty()) return name;
  }
  return kUnknownCaption;
}

std::string CDictionary::GetDescription() const { return m_strDescription.value_or(std::string()); }

std::string CDictionary::GetPath() const { return m_strPath.value_or(std::string()); }

int32_t CDictionary::GetItemCount() const {
  if (!m_pStorage) return 0;
  if (m_pData) return m_pData->GetSize();
  return m_pStorage->View("DBDATA").GetSize();
}

// The text of an item as it will be stored: its bytes up to keyLength (or
// its NUL, whichever comes first), converted to the stored encoding, then
// record-scrambled when the dictionary is. A stored text must not contain a
// zero byte, since the storage would cut it there: a UTF-16 text with such a
// code unit, or a scrambled text with the mask byte, is refused rather than
// stored cut short.
bool CDictionary::PrepareStored(const DictText& text, int32_t length, int32_t code,
                                std::string& stored) const {
  stored.clear();
  if (text.get() != nullptr && length > 0) {
    const size_t limit = std::min(static_cast<size_t>(length), text.capacity());
    const char* end = static_cast<const char*>(std::memchr(text.get(), '\0', limit));
    const size_t n = end == nullptr ? limit : static_cast<size_t>(end - text.get());
    stored = EncodeText(std::string_view(text.get(), n), code);
  }
  if (HasZeroByte(stored)) return false;
  if (m_nScrambled == 1) {
    ScrambleRecordText(stored);
    if (HasZeroByte(stored)) return false;
  }
  return true;
}

std::string CDictionary::ToAnsi(const std::string& stored, int32_t code) const {
  switch (EffectiveCode(code)) {
    case DICT_CODE_UTF8:
      return platform::Utf8ToAnsi(stored);
    case DICT_CODE_UTF16: {
      std::u16string wide(stored.size() / 2, u'\0');
      for (size_t i = 0; i < wide.size(); ++i)
        wide[i] = static_cast<char16_t>(static_cast<unsigned char>(stored[2 * i]) |
                                        static_cast<unsigned char>(stored[2 * i + 1]) << 8);
      return platform::Utf16ToAnsi(wide);
    }
    default:
      return stored;
  }
}

bool CDictionary::AddItem(const DictItem& item, bool convert) {
  if (!CanChange()) return false;
  std::string key;
  std::string data;
  if (!PrepareStored(item.key, item.keyLength, convert ? m_nKeyCode : DICT_CODE_ANSI, key) ||
      key.empty())
    return false;
  if (!PrepareStored(item.data, item.dataLength, convert ? m_nDataCode : DICT_CODE_ANSI, data))
    return false;
  c4_View* view = DataView();
  if (view == nullptr || !view->IsWritable()) return false;
  int pos = view->Search(KeyProp()[key]);
  if (pos < 0) pos = 0;
  view->InsertAt(pos, KeyProp()[key] + DataProp()[data], 1);
  m_pCommon.reset();
  m_bUncommitted = true;
  return true;
}

bool CDictionary::DeleteItem(const DictItem& item) {
  if (!CanChange()) return false;
  std::string key;
  if (!PrepareStored(item.key, item.keyLength, m_nKeyCode, key) || key.empty()) return false;
  c4_View* view = DataView();
  if (view == nullptr || !view->IsWritable()) return false;
  const int row = view->Find(KeyProp()[key], 0);
  if (row < 0) return false;
  const std::string removed = static_cast<const char*>(KeyProp()((*view)[row]));
  view->RemoveAt(row, 1);
  MoveCommonness(removed, std::string());
  m_pCommon.reset();
  Commit();
  return true;
}

bool CDictionary::UpdateItem(const DictItem& oldItem, const DictItem& newItem) {
  if (!CanChange()) return false;
  std::string oldKey;
  if (!PrepareStored(oldItem.key, oldItem.keyLength, m_nKeyCode, oldKey) || oldKey.empty())
    return false;
  c4_View* view = DataView();
  if (view == nullptr || !view->IsWritable()) return false;
  const int row = view->Find(KeyProp()[oldKey], 0);
  if (row < 0) return false;
  std::string key;
  std::string data;
  if (!PrepareStored(newItem.key, newItem.keyLength, m_nKeyCode, key) || key.empty()) return false;
  if (!PrepareStored(newItem.data, newItem.dataLength, m_nDataCode, data)) return false;
  const std::string was = static_cast<const char*>(KeyProp()((*view)[row]));
  view->SetAt(row, KeyProp()[key] + DataProp()[data]);
  if (was != key) MoveCommonness(was, key);
  m_pCommon.reset();
  Commit();
  return true;
}

bool CDictionary::FindFirst(const char* text, DictItem& item, int32_t matchFlags) {
  m_bCommonCursor = false;
  m_nCursor = -1;
  m_nMatchFlags = matchFlags;
  if (text == nullptr) {
    m_strSearch.reset();
  } else {
    m_strSearch = text;
  }
  return Fetch(item, true);
}

bool CDictionary::FindNext(DictItem& item) { return m_bCommonCursor ? FetchCommon(item) : Fetch(item, false); }

bool CDictionary::FindExact(const char* key, DictItem& item, int32_t matchFlags) {
  if (FindFirst(key, item, matchFlags) && key != nullptr && item.key.get() != nullptr &&
      platform::AsciiCompareNoCase(item.Key(), key) == 0)
    return true;
  m_strSearch = std::string();
  return false;
}

// One step of a search: from the binary-search position of the search text
// (first) or the row after the cursor (next), the first row that passes the
// length and word/phrase filters, provided its key holds the search text at
// the place the match flags ask for. The scan stops at the first row that
// does not; the cursor stays on the row returned.
bool CDictionary::Fetch(DictItem& item, bool first) {
  item.Clear();
  item.type = m_nType;
  if (!m_strSearch || !m_pStorage) return false;
  c4_View* view = DataView();
  if (view == nullptr) return false;
  const std::string& search = *m_strSearch;

  bool firstRowPending = false;
  if (search.empty() && m_nCursor < 1) {
    m_nCursor = 0;
    firstRowPending = true;
  } else if (m_nCursor == -1) {
    // Rows stand in the order of their stored form, so the search text is
    // positioned in its stored form too.
    std::string stored = EncodeText(search, m_nKeyCode);
    const size_t zero = stored.find('\0');
    if (zero != std::string::npos) stored.resize(zero);
    if (m_nScrambled == 1) ScrambleRecordText(stored);
    m_nCursor = view->Search(KeyProp()[stored]);
    if (m_nCursor < 0) m_nCursor = 0;
    firstRowPending = true;
  }

  const std::string loweredSearch = platform::MbsLower(search);
  const int rows = view->GetSize();
  for (;;) {
    if (!first || !firstRowPending) ++m_nCursor;
    firstRowPending = false;
    if (m_nCursor < 0 || m_nCursor >= rows) return false;

    std::string key, data;
    ReadRow(m_nCursor, key, data);
    std::string ansiKey = ToAnsi(key, m_nKeyCode);
    if (!PassesFilters(key.size(), ansiKey)) continue;

    const std::string loweredKey = platform::MbsLower(ansiKey);
    const size_t at = platform::MbsFind(loweredKey, loweredSearch);
    if (at == std::string::npos) return false;
    if (m_nMatchFlags != DICT_MATCH_ALL) {
      const size_t end = at + loweredSearch.size();
      bool placed = false;
      if (m_nMatchFlags & DICT_MATCH_START) {
        placed = at == 0;
      } else if (m_nMatchFlags & DICT_MATCH_INSIDE) {
        placed = at != 0 && end != loweredKey.size();
      } else if (m_nMatchFlags & DICT_MATCH_END) {
        placed = end == loweredKey.size();
      }
      if (!placed) return false;
    }
    FillItem(std::move(ansiKey), data, item);
    return true;
  }
}

void CDictionary::ReadRow(int row, std::string& key, std::string& data) {
  const c4_RowRef ref = (*DataView())[row];
  key = static_cast<const char*>(KeyProp()(ref));
  data = static_cast<const char*>(DataProp()(ref));
  if (m_nScrambled == 1) {
    UnscrambleRecordText(key);
    UnscrambleRecordText(data);
  }
}

bool CDictionary::PassesFilters(size_t storedLength, const std::string& ansiKey) const {
  if (m_nType == DICT_TYPE_SHORTHAND) return true;
  const auto length = static_cast<int64_t>(storedLength);
  if (length < m_nMinKeyLength || length > m_nMaxKeyLength) return false;
  const bool phrase = ansiKey.find(' ') != std::string::npos;
  return (m_nMatchFlags & (phrase ? DICT_PHRASES : DICT_WORDS)) != 0;
}

void CDictionary::FillItem(std::string ansiKey, const std::string& data, DictItem& item) {
  const std::string& search = *m_strSearch;
  // Words dictionaries carry the capitalisation of the typed text over:
  // two capitals make the whole key upper case, one its first letter.
  if (m_nType == DICT_TYPE_WORDS && m_nCaseFromSearch == 1) {
    const auto c0 = static_cast<unsigned char>(search.size() > 0 ? search[0] : 0);
    const auto c1 = static_cast<unsigned char>(search.size() > 1 ? search[1] : 0);
    if (search.size() >= 2 && platform::IsAsciiUpper(c0) && platform::IsAsciiUpper(c1)) {
      platform::AsciiUpperInPlace(ansiKey);
    } else if (platform::IsAsciiUpper(c0) && !ansiKey.empty()) {
      ansiKey[0] = static_cast<char>(platform::AsciiToUpper(static_cast<unsigned char>(ansiKey[0])));
    }
  }
  if (!ansiKey.empty()) {
    item.key.Assign(ansiKey.data(), ansiKey.size());
    item.keyLength = static_cast<int32_t>(ansiKey.size());
  }

  const std::string ansiData = ToAnsi(data, m_nDataCode);
  if (!ansiData.empty()) {
    // Converted data counts its terminating NUL in the reported length.
    const size_t n = ansiData.size() + (EffectiveCode(m_nDataCode) == DICT_CODE_ANSI ? 0 : 1);
    if (m_nCaptionHeader == 1) {
      // "----caption----\r" followed by the data: the data takes the place
      // of the header's final line feed, while the length counts it.
      const std::string header = "----" + GetCaption() + "----\r\n";
      const std::string text = header.substr(0, header.size() - 1) + ansiData;
      item.dataLength = static_cast<int32_t>(header.size() + n);
      item.data.Assign(text.data(), text.size(), static_cast<size_t>(item.dataLength));
    } else {
      item.dataLength = static_cast<int32_t>(n);
      item.data.Assign(ansiData.data(), ansiData.size(), n);
    }
  }
  item.type = m_nType;
}

// ---- commonness ---------------------------------------------------------------

namespace {

// The row of the commonness view holding exactly this stored key, or -1.
// Rows stand in the storage's search order of their keys.
int FindStoredKey(const c4_View& view, const std::string& key) {
  for (int r = view.Search(KeyProp()[key]); r < view.GetSize(); ++r) {
    const char* k = KeyProp()(view[r]);
    if (mk::CompareStrings(k, key.c_str()) != 0) break;
    if (key == k) return r;
  }
  return -1;
}

// How many entries of a short range a lookup by commonness orders at once.
constexpr size_t kCommonHead = 16;

// The order of a lookup by commonness over index keys: the most common
// first, then by key.
auto CommonBefore(const std::vector<int32_t>& values) {
  return [&values](int32_t a, int32_t b) {
    return values[static_cast<size_t>(a)] != values[static_cast<size_t>(b)]
               ? values[static_cast<size_t>(a)] > values[static_cast<size_t>(b)]
               : a < b;
  };
}

}  // namespace

// The commonness view when the file has it with the properties we write (a
// view of another shape is left alone and read as no values); with create it
// is made when missing.
c4_View* CDictionary::CommonView(bool create) {
  if (!m_pStorage) return nullptr;
  if (m_pRank) return m_pRank.get();
  bool present = false;
  for (int i = 0; i < m_pStorage->NumViews() && !present; ++i) present = m_pStorage->NthViewName(i) == kCommonView;
  if (present) {
    c4_View view = m_pStorage->View(kCommonView);
    const int k = view.FindProperty(KeyProp().GetId());
    const int r = view.FindProperty(RankProp().GetId());
    if (k < 0 || r < 0 || view.NthProperty(k).Type() != 'S' || view.NthProperty(r).Type() != 'I') return nullptr;
    m_pRank = std::make_unique<c4_View>(view);
  } else {
    if (!create) return nullptr;
    m_pRank = std::make_unique<c4_View>(m_pStorage->GetAs(kCommonLayout));
  }
  return m_pRank.get();
}

bool CDictionary::StoredKey(const DictItem& item, std::string& stored) const {
  return PrepareStored(item.key, item.keyLength, m_nKeyCode, stored) && !stored.empty();
}

bool CDictionary::HasCommonness() {
  if (m_nHasCommonness < 0) {
    m_nHasCommonness = 0;
    if (const c4_View* view = CommonView(false)) {
      for (int r = 0; r < view->GetSize() && m_nHasCommonness == 0; ++r)
        if (static_cast<t4_i32>(RankProp()((*view)[r])) > 0) m_nHasCommonness = 1;
    }
  }
  return m_nHasCommonness == 1;
}

int32_t CDictionary::GetCommonness(const DictItem& item) {
  std::string key;
  const c4_View* view = CommonView(false);
  if (view == nullptr || !StoredKey(item, key)) return 0;
  const int row = FindStoredKey(*view, key);
  const int32_t value = row < 0 ? 0 : static_cast<t4_i32>(RankProp()((*view)[row]));
  return std::max<int32_t>(value, 0);
}

bool CDictionary::SetCommonness(const std::vector<std::pair<std::string, int32_t>>& values) {
  if (!CanChange()) return false;
  c4_View* view = CommonView(true);
  if (view == nullptr || !view->IsWritable()) return false;
  // The whole view is read, changed and written back in search order: one
  // pass instead of an insertion per key.
  auto order = [](const std::string& a, const std::string& b) {
    const int c = mk::CompareStrings(a.c_str(), b.c_str());
    return c != 0 ? c < 0 : a < b;
  };
  std::map<std::string, int32_t, decltype(order)> all(order);
  for (int r = 0; r < view->GetSize(); ++r) {
    const t4_i32 value = RankProp()((*view)[r]);
    if (value > 0) all[static_cast<const char*>(KeyProp()((*view)[r]))] = value;
  }
  for (const auto& [word, value] : values) {
    std::string key;
    if (!StoredKey(DictItem(word, std::string_view(), m_nType), key)) continue;
    if (value > 0) all[key] = value;
    else all.erase(key);
  }
  view->SetSize(static_cast<int>(all.size()));
  int r = 0;
  for (const auto& [key, value] : all) view->SetAt(r++, KeyProp()[key] + RankProp()[value]);
  m_pCommon.reset();
  m_nHasCommonness = -1;
  return Commit();
}

// An entry's key changed (to is empty when it went): its value goes along.
void CDictionary::MoveCommonness(const std::string& from, const std::string& to) {
  c4_View* view = CommonView(false);
  if (view == nullptr || !view->IsWritable()) return;
  const int row = FindStoredKey(*view, from);
  if (row < 0) return;
  const t4_i32 value = RankProp()((*view)[row]);
  view->RemoveAt(row, 1);
  if (to.empty() || value <= 0) return;
  if (const int old = FindStoredKey(*view, to); old >= 0) view->RemoveAt(old, 1);
  view->InsertAt(view->Search(KeyProp()[to]), KeyProp()[to] + RankProp()[value], 1);
}

void CDictionary::PrepareCommon() {
  if (m_pCommon || !m_pStorage) return;
  c4_View* data = DataView();
  if (data == nullptr) return;
  std::unordered_map<std::string, int32_t> values;
  if (const c4_View* view = CommonView(false)) {
    for (int r = 0; r < view->GetSize(); ++r) {
      const t4_i32 value = RankProp()((*view)[r]);
      if (value > 0) values[static_cast<const char*>(KeyProp()((*view)[r]))] = value;
    }
  }
  struct Entry {
    std::string key;
    int32_t row;
    int32_t value;
  };
  std::vector<Entry> entries;
  entries.reserve(static_cast<size_t>(data->GetSize()));
  for (int r = 0; r < data->GetSize(); ++r) {
    std::string key = static_cast<const char*>(KeyProp()((*data)[r]));
    const auto found = values.find(key);
    const int32_t value = found == values.end() ? 0 : found->second;
    if (m_nScrambled == 1) UnscrambleRecordText(key);
    entries.push_back({platform::MbsLower(ToAnsi(key, m_nKeyCode)), r, value});
  }
  std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });
  auto index = std::make_unique<CommonIndex>();
  index->offsets.reserve(entries.size() + 1);
  for (const Entry& e : entries) {
    index->offsets.push_back(static_cast<uint32_t>(index->keys.size()));
    index->keys += e.key;
    index->rows.push_back(e.row);
    index->values.push_back(e.value);
  }
  index->offsets.push_back(static_cast<uint32_t>(index->keys.size()));
  std::vector<std::pair<std::u16string, int32_t>> folded;
  folded.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) folded.emplace_back(dict::FoldUnits(entries[i].key), static_cast<int32_t>(i));
  index->folded.Build(std::move(folded));
  index->byValue.resize(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) index->byValue[i] = static_cast<int32_t>(i);
  std::sort(index->byValue.begin(), index->byValue.end(), CommonBefore(index->values));
  // Buckets by the first two bytes of the lowered key (a one-byte key has
  // a zero second byte), and each bucket in order of commonness.
  auto bucketOf = [&](size_t i) {
    const std::string_view key = index->Key(i);
    if (key.empty()) return size_t{0};
    return static_cast<size_t>(static_cast<unsigned char>(key[0])) << 8 |
           (key.size() > 1 ? static_cast<unsigned char>(key[1]) : 0u);
  };
  index->bucketStart.assign(0x10001, 0);
  for (size_t i = 0; i < entries.size(); ++i) ++index->bucketStart[bucketOf(i) + 1];
  for (size_t b = 1; b < index->bucketStart.size(); ++b) index->bucketStart[b] += index->bucketStart[b - 1];
  index->byBucketValue.resize(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) index->byBucketValue[i] = static_cast<int32_t>(i);
  for (size_t b = 0; b + 1 < index->bucketStart.size(); ++b) {
    auto first = index->byBucketValue.begin() + index->bucketStart[b];
    auto last = index->byBucketValue.begin() + index->bucketStart[b + 1];
    if (last - first > 1) std::sort(first, last, CommonBefore(index->values));
  }
  m_pCommon = std::move(index);
}

bool CDictionary::FindFirstCommon(const char* text, DictItem& item, int32_t matchFlags) {
  m_bCommonCursor = true;
  m_nMatchFlags = matchFlags;
  m_aCommonOrder.clear();
  m_nCommonLo = m_nCommonHi = m_nCommonAt = 0;
  m_bCommonWalk = false;
  m_bCommonBucket = false;
  item.Clear();
  item.type = m_nType;
  if (text == nullptr || !m_pStorage) {
    m_strSearch.reset();
    return false;
  }
  m_strSearch = text;
  PrepareCommon();
  if (!m_pCommon) return false;
  const CommonIndex& index = *m_pCommon;
  const std::string lowered = platform::MbsLower(text);
  // Keys that begin with the lowered text stand together in the index; its
  // first two bytes give their bucket at once.
  size_t lo = 0, hi = index.rows.size();
  if (!lowered.empty()) {
    const auto b0 = static_cast<unsigned char>(lowered[0]);
    const size_t bucket = lowered.size() == 1 ? b0 << 8 : (b0 << 8 | static_cast<unsigned char>(lowered[1]));
    lo = index.bucketStart[bucket];
    hi = index.bucketStart[lowered.size() == 1 ? (b0 + 1u) << 8 : bucket + 1];
  }
  if (lowered.size() == 2) {
    // A whole bucket: its entries stand in order of commonness already.
    m_nCommonLo = m_nCommonAt = lo;
    m_nCommonHi = hi;
    m_bCommonBucket = true;
    return FetchCommon(item);
  }
  const size_t end = hi;
  while (lo < hi) {
    const size_t mid = lo + (hi - lo) / 2;
    if (index.Key(mid) < lowered) lo = mid + 1;
    else hi = mid;
  }
  hi = end;
  for (size_t first = lo; first < hi;) {
    const size_t mid = first + (hi - first) / 2;
    if (index.Key(mid).substr(0, lowered.size()) == lowered) first = mid + 1;
    else hi = mid;
  }
  m_nCommonLo = lo;
  m_nCommonHi = hi;
  // A short range is ordered at once; a long one (a one- or two-letter
  // text) is taken from the whole dictionary's order, skipping what does
  // not match, which finds a page after a few thousand steps at most.
  constexpr size_t kOrderAtOnce = 512;
  if (hi - lo <= kOrderAtOnce) {
    for (size_t i = lo; i < hi; ++i) m_aCommonOrder.push_back(static_cast<int32_t>(i));
    // Only the head is ordered now; the rest when a later page needs it.
    const size_t head = std::min<size_t>(kCommonHead, m_aCommonOrder.size());
    std::partial_sort(m_aCommonOrder.begin(), m_aCommonOrder.begin() + static_cast<long>(head), m_aCommonOrder.end(),
                      CommonBefore(index.values));
  } else {
    m_bCommonWalk = true;
  }
  return FetchCommon(item);
}

void CDictionary::FindNear(const char* text, int maxEdits, size_t limit, std::vector<Near>& out) {
  out.clear();
  if (text == nullptr || !m_pStorage || m_nType == DICT_TYPE_SHORTHAND) return;
  PrepareCommon();
  if (!m_pCommon) return;
  const CommonIndex& index = *m_pCommon;
  std::vector<dict::FoldedKeys::Range> ranges;
  index.folded.FindNear(dict::FoldUnits(text), maxEdits, ranges);
  // The best few of each range, then the best of all: closest, most common,
  // first by key.
  const auto before = CommonBefore(index.values);
  std::vector<int32_t> at;
  for (const auto& range : ranges) {
    at.clear();
    for (size_t i = range.lo; i < range.hi; ++i) at.push_back(index.folded.Id(i));
    const size_t keep = std::min(at.size(), limit);
    std::partial_sort(at.begin(), at.begin() + static_cast<long>(keep), at.end(), before);
    for (size_t i = 0; i < keep; ++i) out.push_back({DictItem(), range.distance, index.values[static_cast<size_t>(at[i])], at[i]});
  }
  std::sort(out.begin(), out.end(), [&](const Near& a, const Near& b) {
    return a.distance != b.distance ? a.distance < b.distance : before(a.position, b.position);
  });
  // A key met in more than one range keeps its least distance.
  std::vector<int32_t> taken;
  std::vector<Near> unique;
  for (Near& near : out) {
    if (unique.size() >= limit) break;
    if (std::find(taken.begin(), taken.end(), near.position) != taken.end()) continue;
    taken.push_back(near.position);
    unique.push_back(std::move(near));
  }
  out = std::move(unique);
}

std::string_view CDictionary::NearKey(const Near& near) const {
  return m_pCommon ? m_pCommon->Key(static_cast<size_t>(near.position)) : std::string_view();
}

bool CDictionary::FillNear(Near& near, const char* text, int32_t matchFlags) {
  if (!m_pCommon || text == nullptr || near.position < 0 ||
      static_cast<size_t>(near.position) >= m_pCommon->rows.size())
    return false;
  // The running lookup's text and flags stay as they were.
  const std::optional<std::string> search = m_strSearch;
  const int32_t flags = m_nMatchFlags;
  m_strSearch = text;
  m_nMatchFlags = matchFlags;
  std::string key, data;
  ReadRow(m_pCommon->rows[static_cast<size_t>(near.position)], key, data);
  std::string ansiKey = ToAnsi(key, m_nKeyCode);
  const bool passes = PassesFilters(key.size(), ansiKey);
  if (passes) FillItem(std::move(ansiKey), data, near.item);
  m_strSearch = search;
  m_nMatchFlags = flags;
  return passes;
}

bool CDictionary::FetchCommon(DictItem& item) {
  item.Clear();
  item.type = m_nType;
  if (!m_pCommon || !m_strSearch) return false;
  const CommonIndex& index = *m_pCommon;
  for (;;) {
    int32_t at = -1;
    if (m_bCommonBucket) {
      if (m_nCommonAt < m_nCommonHi) at = index.byBucketValue[m_nCommonAt++];
    } else if (m_bCommonWalk) {
      while (m_nCommonAt < index.byValue.size()) {
        const auto i = static_cast<size_t>(index.byValue[m_nCommonAt++]);
        if (i >= m_nCommonLo && i < m_nCommonHi) {
          at = static_cast<int32_t>(i);
          break;
        }
      }
    } else if (m_nCommonAt < m_aCommonOrder.size()) {
      if (m_nCommonAt == kCommonHead)
        std::sort(m_aCommonOrder.begin() + static_cast<long>(kCommonHead), m_aCommonOrder.end(), CommonBefore(index.values));
      at = m_aCommonOrder[m_nCommonAt++];
    }
    if (at < 0) return false;
    std::string key, data;
    ReadRow(index.rows[static_cast<size_t>(at)], key, data);
    std::string ansiKey = ToAnsi(key, m_nKeyCode);
    if (!PassesFilters(key.size(), ansiKey)) continue;
    m_nCurrentValue = index.values[static_cast<size_t>(at)];
    FillItem(std::move(ansiKey), data, item);
    return true;
  }
}

bool EncryptDictionary(const char* sourcePath, const char* targetPath) {
  CDictionary source;
  CDictionary target;
  if (!source.Open(sourcePath) || !target.Open(targetPath)) return false;
  const std::string caption = source.GetCaptionText();
  const std::string description = source.GetDescription();
  target.SetCaption(caption.data(), static_cast<int>(caption.size()));
  target.SetDescription(description.data(), static_cast<int>(description.size()));
  target.SetType(source.GetType());
  target.SetEditFlags(source.GetEditFlags());
  target.SetScrambled(1);
  source.SetCaptionHeader(0);
  target.SetCaptionHeader(0);
  DictItem item;
  std::vector<std::pair<std::string, int32_t>> values;
  const bool common = source.HasCommonness();
  for (bool found = source.FindFirst("", item, kDefaultMatchFlags); found; found = source.FindNext(item)) {
    target.AddItem(item, true);
    if (common) values.emplace_back(std::string(item.Key()), source.GetCommonness(item));
  }
  target.SaveInfo();
  if (!values.empty()) target.SetCommonness(values);
  return true;
}
