// CDictionary: one open dictionary file. A dictionary file is a storage with
// the views "DBDATA[key:S,data:S]" (the entries, in the storage's search
// order of the stored key) and "DBINFO[prop:S,value:S]" (the attributes),
// read and written through CLibFileStrategy.
//
// Ownership: the object owns its storage and strategy; Close (and the
// destructor) commits what was added since the last commit and releases
// them. Reading never writes the file.
// Threading: one thread.
// Failure: every operation reports failure as false / 0 / an empty text; none
// throws or shows anything. A file that cannot be opened, or whose bytes hold
// no storage we can read, is never written to. A file that can only be read
// opens read-only: lookups work, changes are refused.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dict/DictItem.h"
#include "dict/LibFileStrategy.h"
#include "dict/TypoMatch.h"
#include "mk/mk4.h"

// Encodings of stored keys and data ("KEYCODE", "DATACODE").
enum : int32_t {
  DICT_CODE_ANSI = 1,
  DICT_CODE_UTF8 = 2,
  DICT_CODE_UTF16 = 3,
};

// "DBEDIT" bit: the entries may be changed in the dictionary editor.
enum : int32_t { DICT_EDIT_ALLOWED = 1 };

// Match flags of a lookup.
enum : int32_t {
  DICT_MATCH_START = 1,   // the text stands at the start of the key
  DICT_MATCH_INSIDE = 2,  // inside, touching neither end
  DICT_MATCH_END = 4,     // at the end
  DICT_WORDS = 8,         // keys without a blank (words dictionaries)
  DICT_PHRASES = 32,      // keys with a blank (words dictionaries)
  DICT_MATCH_ALL = -1,
};

// The flags the typing engine starts from: start + words + phrases.
constexpr int32_t kDefaultMatchFlags = DICT_MATCH_START | DICT_WORDS | DICT_PHRASES;

class CDictionary {
 public:
  CDictionary();
  virtual ~CDictionary();
  CDictionary(const CDictionary&) = delete;
  CDictionary& operator=(const CDictionary&) = delete;

  bool Open(const char* path);
  void Close();
  bool IsOpen() const { return m_bOpen != 0; }
  // Opened from a file that could only be read: changes are refused.
  bool IsReadOnly() const { return m_bReadOnly; }

  bool LoadInfo();
  bool SaveInfo();
  // Writes pending changes to the file; false when nothing could be written.
  bool Commit();

  void SetCaption(const char* text, int length);
  void SetDescription(const char* text, int length);
  // The display caption: "DBCAPTION", else the file name, else
  // "UNKNOWN DICTIONARY".
  std::string GetCaption() const;
  // "DBCAPTION" itself (empty when there is none).
  std::string GetCaptionText() const { return m_strCaption.value_or(std::string()); }
  std::string GetDescription() const;
  std::string GetPath() const;

  int32_t GetItemCount() const;
  bool AddItem(const DictItem& item, bool convert);
  bool DeleteItem(const DictItem& item);
  bool UpdateItem(const DictItem& oldItem, const DictItem& newItem);

  bool FindFirst(const char* text, DictItem& item, int32_t matchFlags);
  // Continues the lookup that FindFirst or FindFirstCommon started.
  bool FindNext(DictItem& item);
  bool FindExact(const char* key, DictItem& item, int32_t matchFlags);

  // How common the entries are: a value per stored key (1 and above, the
  // higher the more common; 0 is no value) kept in a view of its own,
  // "DBRANK[key:S,rank:I]", so that a program that knows only DBDATA and
  // DBINFO reads the entries as before and keeps the values when it commits.
  // Whether any entry has a value (the file is never changed by asking).
  bool HasCommonness();
  int32_t GetCommonness(const DictItem& item);
  // Sets (or, with 0, removes) the values of many keys in one pass; false
  // when the dictionary cannot be changed.
  bool SetCommonness(const std::vector<std::pair<std::string, int32_t>>& values);
  // A prefix lookup (DICT_MATCH_START) in order of commonness: the most
  // common first, ties and entries without a value in key order, those
  // without a value last. CurrentCommonness is the value of the entry last
  // delivered. The order is built in memory at the first such lookup, or by
  // PrepareCommon.
  bool FindFirstCommon(const char* text, DictItem& item, int32_t matchFlags);
  int32_t CurrentCommonness() const { return m_nCurrentValue; }
  void PrepareCommon();

  // Entries whose beginning is within maxEdits edits of the text (see
  // TypoMatch.h), the closest first, then the most common, then by key; at
  // most limit of them, each with its distance. FindNear leaves the items
  // empty: FillNear fills one (with the text's capitals carried over), false
  // when the entry does not pass the lookup's filters; NearKey is its key in
  // lower case. The running lookup goes on undisturbed.
  struct Near {
    DictItem item;
    int distance = 0;
    int32_t value = 0;
    int32_t position = -1;
  };
  void FindNear(const char* text, int maxEdits, size_t limit, std::vector<Near>& out);
  std::string_view NearKey(const Near& near) const;
  bool FillNear(Near& near, const char* text, int32_t matchFlags);

  // Attributes ("DBTYPE", "KEYCODE", "DATACODE", "DBEDIT", "DBEncrypt").
  int32_t GetType() const { return m_nType; }
  void SetType(int32_t type) { m_nType = type; }
  int32_t GetKeyCode() const { return m_nKeyCode; }
  void SetKeyCode(int32_t code) { m_nKeyCode = code; }
  int32_t GetDataCode() const { return m_nDataCode; }
  void SetDataCode(int32_t code) { m_nDataCode = code; }
  int32_t GetEditFlags() const { return m_nEditFlags; }
  void SetEditFlags(int32_t flags) { m_nEditFlags = flags; }
  int32_t GetScrambled() const { return m_nScrambled; }
  void SetScrambled(int32_t scrambled) { m_nScrambled = scrambled; }

  int32_t GetCaptionHeader() const { return m_nCaptionHeader; }
  void SetCaptionHeader(int32_t on) { m_nCaptionHeader = on; }
  // 1: keys found in a words dictionary take the search text's capitals
  // (the prompt); 0: keys come out as stored (the editor).
  int32_t GetCaseFromSearch() const { return m_nCaseFromSearch; }
  void SetCaseFromSearch(int32_t on) { m_nCaseFromSearch = on; }
  int32_t GetMinKeyLength() const { return m_nMinKeyLength; }
  int32_t GetMaxKeyLength() const { return m_nMaxKeyLength; }
  void SetKeyLengthLimits(int32_t minLength, int32_t maxLength) {
    m_nMinKeyLength = minLength;
    m_nMaxKeyLength = maxLength;
  }

 private:
  bool Fetch(DictItem& item, bool first);
  bool FetchCommon(DictItem& item);
  // A row's key and data as stored, unscrambled.
  void ReadRow(int row, std::string& key, std::string& data);
  // Whether a row with this stored key length and key passes the length and
  // word/phrase filters of the running lookup.
  bool PassesFilters(size_t storedLength, const std::string& ansiKey) const;
  // Fills item from a matching row: the key with the search text's letter
  // case carried over, the data with its caption header.
  void FillItem(std::string ansiKey, const std::string& data, DictItem& item);
  c4_View* CommonView(bool create);
  bool StoredKey(const DictItem& item, std::string& stored) const;
  void MoveCommonness(const std::string& from, const std::string& to);
  c4_View* DataView();
  c4_View* InfoView();
  bool CanChange();
  // The stored form of an item's text; false when the text cannot be stored
  // whole.
  bool PrepareStored(const DictText& text, int32_t length, int32_t code, std::string& stored) const;
  std::string ToAnsi(const std::string& stored, int32_t code) const;

  std::unique_ptr<c4_Storage> m_pStorage;
  std::unique_ptr<CLibFileStrategy> m_pStrategy;
  int32_t m_nCursor = -1;
  std::optional<std::string> m_strSearch;
  int32_t m_nMatchFlags = DICT_MATCH_ALL;
  std::optional<std::string> m_strDescription{std::string()};
  std::optional<std::string> m_strCaption{std::string()};
  std::optional<std::string> m_strPath;
  int32_t m_nScrambled = 0;
  int32_t m_nType = DICT_TYPE_WORDS;
  int32_t m_nEditFlags = DICT_EDIT_ALLOWED;
  int32_t m_bOpen = 0;
  int32_t m_nKeyCode = DICT_CODE_ANSI;
  int32_t m_nDataCode = DICT_CODE_ANSI;
  int32_t m_nCaptionHeader = 1;
  int32_t m_nCaseFromSearch = 1;
  int32_t m_nMinKeyLength = 1;
  int32_t m_nMaxKeyLength = 500;

  bool m_bReadOnly = false;

  // The entries in the order of their lower-cased keys, with their values,
  // built for lookups by commonness; dropped when an entry changes.
  struct CommonIndex {
    std::string keys;                // lower-cased ANSI keys, one after another
    std::vector<uint32_t> offsets;   // where key i starts; one more at the end
    std::vector<int32_t> rows;       // the DBDATA row of key i
    std::vector<int32_t> values;     // the value of key i
    std::vector<int32_t> byValue;    // key numbers, most common first
    dict::FoldedKeys folded;         // the keys folded, for words near a typed one
    std::vector<uint32_t> bucketStart;    // first key of each two-byte beginning; one more at the end
    std::vector<int32_t> byBucketValue;   // key numbers by bucket, each the most common first
    std::string_view Key(size_t i) const { return std::string_view(keys).substr(offsets[i], offsets[i + 1] - offsets[i]); }
  };
  std::unique_ptr<CommonIndex> m_pCommon;
  int m_nHasCommonness = -1;  // unknown, 0 or 1
  bool m_bCommonCursor = false;
  // The running lookup by commonness: keys lo..hi match; a short range is
  // ordered once into m_aCommonOrder, a long one is walked in byValue order.
  size_t m_nCommonLo = 0, m_nCommonHi = 0, m_nCommonAt = 0;
  bool m_bCommonWalk = false;
  bool m_bCommonBucket = false;  // a two-byte text: its bucket in order
  std::vector<int32_t> m_aCommonOrder;
  int32_t m_nCurrentValue = 0;
  // Entries added since the last commit; Close writes them.
  bool m_bUncommitted = false;
  // View handles, taken on first use.
  std::unique_ptr<c4_View> m_pData;
  std::unique_ptr<c4_View> m_pInfo;
  std::unique_ptr<c4_View> m_pRank;
};

// Writes a record-scrambled copy of the dictionary at sourcePath to
// targetPath (created when missing; entries are added to what it holds).
bool EncryptDictionary(const char* sourcePath, const char* targetPath);
