#include "dict/dictionary.h"

#include <climits>
#include <cstring>

#include "platform/codepage.h"

namespace {

const char* const kDataLayout = "DBDATA[key:S,data:S]";
const char* const kInfoLayout = "DBINFO[prop:S,value:S]";
const char* const kUnknownCaption = "UNKNOWN DICTIONARY";

const c4_StringProp& KeyProp() {
  static const c4_StringProp prop("key");
  return prop;
}
const c4_StringProp& DataProp() {
  static const c4_StringProp prop("data");
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
  view->RemoveAt(row, 1);
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
  view->SetAt(row, KeyProp()[key] + DataProp()[data]);
  Commit();
  return true;
}

bool CDictionary::FindFirst(const char* text, DictItem& item, int32_t matchFlags) {
  m_nCursor = -1;
  m_nMatchFlags = matchFlags;
  if (text == nullptr) {
    m_strSearch.reset();
  } else {
    m_strSearch = text;
  }
  return Fetch(item, true);
}

bool CDictionary::FindNext(DictItem& item) { return Fetch(item, false); }

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
  const bool wordsDictionary = m_nType != DICT_TYPE_SHORTHAND;
  const int rows = view->GetSize();
  for (;;) {
    if (!first || !firstRowPending) ++m_nCursor;
    firstRowPending = false;
    if (m_nCursor < 0 || m_nCursor >= rows) return false;

    const c4_RowRef row = (*view)[m_nCursor];
    std::string key = static_cast<const char*>(KeyProp()(row));
    std::string data = static_cast<const char*>(DataProp()(row));
    if (m_nScrambled == 1) {
      UnscrambleRecordText(key);
      UnscrambleRecordText(data);
    }
    const int32_t storedLength = static_cast<int32_t>(key.size());
    if (wordsDictionary && (storedLength < m_nMinKeyLength || storedLength > m_nMaxKeyLength))
      continue;
    std::string ansiKey = ToAnsi(key, m_nKeyCode);
    if (wordsDictionary) {
      const bool phrase = ansiKey.find(' ') != std::string::npos;
      if (!(m_nMatchFlags & (phrase ? DICT_PHRASES : DICT_WORDS))) continue;
    }

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
  for (bool found = source.FindFirst("", item, kDefaultMatchFlags); found; found = source.FindNext(item))
    target.AddItem(item, true);
  target.SaveInfo();
  return true;
}
