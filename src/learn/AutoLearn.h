#pragma once
// CAutoLearn: the words the user finishes typing, counted in the learning file
// and offered back as completions.
//
// The learning file is a flat array of 516-byte records without a header:
// a signed 32-bit little-endian type count, then 512 bytes of word (8-bit
// text, NUL-padded). Records stay in the order in which they were added.
//
// The engine works through one record cursor (nCurrent, with the current
// record unpacked into nCount and strWord) that learning, searching, the
// options page and the text exchange all share. Every write goes to the file
// at once, so the file on disk is always complete. Beside the file the engine
// keeps the records in memory with an index by word, so that learning and
// prefix searches cost a lookup instead of a pass over the file; answers and
// cursor movements are the same as those of a pass in file order.
//
// Single-threaded (the user-interface thread). No operation throws or shows a
// message: a file that cannot be opened leaves the engine off, and the other
// operations then do nothing.

#include "learn/LearnFile.h"
#include "dict/WaitProgress.h"

#include <bitset>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace learn {

// Size of one record of the learning file.
inline constexpr std::int64_t kRecordBytes = 516;

// Characters that end a word unless the user chose others: semicolon, blank,
// apostrophe, comma, full stop, exclamation mark, double quote, question mark.
inline constexpr std::string_view kDefaultSeparators = "; ',.!\"?";

// The options the engine takes over when its file opens.
struct AutoLearnOptions {
    bool bEnableAutolearn = true;
    std::int32_t nMinLearnLength = 0;
    std::string strSeparate{kDefaultSeparators};
    bool bLearnKnownWords = true;
};

// Asks the loaded dictionaries for their first candidate for word (a prefix
// lookup over words, phrases and shorthands). Returns false when there is
// none; otherwise fills key with that candidate's key.
using DictionaryCheck = std::function<bool(std::string_view word, std::string& key)>;

}  // namespace learn

class CAutoLearn {
public:
    CAutoLearn();
    ~CAutoLearn();
    CAutoLearn(const CAutoLearn&) = delete;
    CAutoLearn& operator=(const CAutoLearn&) = delete;

    // Opens (creating, never truncating) the learning file and reads its
    // records; then takes over the options. False leaves everything as it was.
    bool Open(const std::string& path, const learn::AutoLearnOptions& options = {});
    void Close();

    // Words that the dictionaries hold exactly are not learned unless
    // bLearnKnown is on. An empty function (the default) checks nothing.
    void SetDictionaryCheck(learn::DictionaryCheck check) { m_dictCheck = std::move(check); }

    // The separators become text followed by tab, CR and LF; an empty text
    // changes nothing.
    void SetSeparators(std::string_view text);
    bool EndsWithSeparator(std::string_view text) const;

    // Learns the last word of text when text ends with a separator.
    void SaveInput(std::string_view text);

    // The learned words that begin with prefix (bytes, letter case counts)
    // and were typed at least nMinCount times, one per call, in file order;
    // an empty result ends the series. FindFirst starts over at the first
    // record and finds nothing while the engine is off.
    std::string FindFirst(std::string_view prefix);
    std::string FindNext(std::string_view prefix);
    // The whole series at once, as FindFirst and FindNext would give it,
    // leaving the cursor where that series leaves it.
    // The words stay valid until the learned words next change.
    std::vector<std::string_view> FindAll(std::string_view prefix);
    // The same words, the most typed first (ties in file order).
    std::vector<std::string_view> FindAllByUse(std::string_view prefix);

    std::int32_t GetRecordCount() const { return m_nRecords; }

    // The record cursor.
    void MoveFirst();
    void MoveNext();
    bool IsEOF() const { return !m_bOpen || m_nCurrent >= m_nRecords; }
    // Appends strWord and nCount as a new record; the cursor moves to it.
    void AddNew();
    // Rewrites the current record with strWord and nCount.
    void Update();
    // Empties the learning file.
    void DeleteAll();
    // Makes the learning file hold exactly these records, in this order. The
    // new file is written beside the old one and takes its place only when
    // it is complete, so a failure part way (a full disk, a crash) leaves the
    // old file whole. False when the file could not be replaced (then the
    // records are those of before). The cursor goes to the first record.
    struct Entry {
        std::string word;
        std::int32_t count = 0;
    };
    bool ReplaceAll(const std::vector<Entry>& entries);

    // Text exchange (one "word<TAB>count" line per record). The wait window,
    // when given, is pumped after every line imported (and may stop the
    // import) and after every 10th record exported (an export runs to its
    // end). pCount receives the number of records
    // imported or exported. False when the text file cannot be opened, or,
    // for an import, when the learning file is not open.
    bool Import(const std::string& path, WaitProgress* wait = nullptr,
                std::int32_t* pCount = nullptr);
    bool Export(const std::string& path, WaitProgress* wait = nullptr,
                std::int32_t* pCount = nullptr);

    bool IsOpen() const { return m_bOpen; }
    std::int32_t GetCurrent() const { return m_nCurrent; }
    const std::string& GetPath() const { return m_strPath; }
    const std::string& GetSeparators() const { return m_strSeparators; }

    // The current record, unpacked; the options page edits them before
    // AddNew or Update.
    std::int32_t nCount = 0;
    std::string strWord;
    // A learned word is offered once it has been typed this many times.
    static constexpr std::int32_t nMinCount = 1;
    // Shortest word (in bytes) that is learned.
    std::int32_t nMinLength = 3;
    // Learning and offering switched on.
    bool bEnable = true;
    // Words the dictionaries hold are counted too.
    bool bLearnKnown = true;

private:
    // A record in memory: its count, and its word as read back from the file
    // (no NUL, at most 512 bytes), which lives as the key in m_byWord.
    struct Record {
        std::int32_t count;
        const std::string* word;
    };
    // Record numbers holding one word, ascending. Nearly every word has one.
    struct RecordSet {
        std::int32_t first = -1;
        std::vector<std::int32_t> more;
        void Insert(std::int32_t index);
        void Erase(std::int32_t index);
        bool Empty() const { return first < 0; }
    };

    std::int32_t ReadRecords();
    void Load(std::int32_t index);
    void MoveTo(std::int32_t index);
    void WriteRecord(std::int32_t index);
    const std::string* IndexAdd(std::string_view word, std::int32_t index);
    void IndexRemove(std::int32_t index);
    void ClearRecords();
    std::int32_t NextMatch(std::string_view prefix, std::int32_t from);
    // The records of the series FindAll gives, leaving the cursor as it does.
    std::vector<std::int32_t> MatchingRecords(std::string_view prefix);
    bool IsSeparator(char c) const { return m_isSeparator[static_cast<unsigned char>(c)]; }

    std::string m_strPath;
    learn::LearnFile m_file;
    std::int32_t m_nCurrent = 0;
    bool m_bOpen = false;
    std::int32_t m_nRecords = 0;
    std::string m_strSeparators;
    bool m_isSeparator[256] = {};
    learn::DictionaryCheck m_dictCheck;
    // The raw image of the record last read or written, unpacked.
    std::int32_t m_imageCount = 0;
    std::string m_imageWord;

    // The file's records in memory, and where each word stands.
    std::vector<Record> m_records;
    std::map<std::string, RecordSet, std::less<>> m_byWord;
    // Records whose word begins with m_matchPrefix, ascending; dropped
    // whenever a record's word changes.
    bool m_matchValid = false;
    std::string m_matchPrefix;
    std::vector<std::int32_t> m_matches;
    // Record numbers by the first byte of their word, ascending: a series for
    // a one-letter prefix, the longest one, needs no search and no sort.
    std::vector<std::int32_t> m_byFirstByte[256];
    // The same, the most typed first, while valid.
    std::vector<std::int32_t> m_byUse[256];
    std::bitset<256> m_byUseValid;
    void OrderByUse(std::vector<std::int32_t>& records) const;
    const std::vector<std::int32_t>& Matches(std::string_view prefix);
};
