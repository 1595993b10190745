#include "learn/AutoLearn.h"

#include "learn/LearnText.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

using learn::kRecordBytes;

namespace {

// Texts reach the engine as C strings: nothing after a NUL counts.
std::string_view CText(std::string_view text)
{
    const std::size_t nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

std::int32_t ReadCount(const unsigned char* p)
{
    const std::uint32_t u = std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 |
                            std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
    return static_cast<std::int32_t>(u);
}

void PutCount(unsigned char* p, std::int32_t count)
{
    const auto u = static_cast<std::uint32_t>(count);
    p[0] = static_cast<unsigned char>(u);
    p[1] = static_cast<unsigned char>(u >> 8);
    p[2] = static_cast<unsigned char>(u >> 16);
    p[3] = static_cast<unsigned char>(u >> 24);
}

// The word of a record image: its bytes up to the first NUL, at most 512.
std::string_view RecordWord(const unsigned char* record)
{
    const char* word = reinterpret_cast<const char*>(record + 4);
    const void* nul = std::memchr(word, 0, kRecordBytes - 4);
    const std::size_t length = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - word)
                                   : static_cast<std::size_t>(kRecordBytes - 4);
    return {word, length};
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

void CAutoLearn::RecordSet::Insert(std::int32_t index)
{
    if (first < 0) {
        first = index;
        return;
    }
    if (index < first)
        std::swap(index, first);
    more.insert(std::lower_bound(more.begin(), more.end(), index), index);
}

void CAutoLearn::RecordSet::Erase(std::int32_t index)
{
    if (index == first) {
        if (more.empty()) {
            first = -1;
        } else {
            first = more.front();
            more.erase(more.begin());
        }
        return;
    }
    auto it = std::lower_bound(more.begin(), more.end(), index);
    if (it != more.end() && *it == index)
        more.erase(it);
}

CAutoLearn::CAutoLearn()
{
    SetSeparators(learn::kDefaultSeparators);
}

CAutoLearn::~CAutoLearn()
{
    Close();
}

bool CAutoLearn::Open(const std::string& path, const learn::AutoLearnOptions& options)
{
    learn::LearnFile file;
    if (!file.Open(path, false))
        return false;
    Close();
    m_file = std::move(file);
    m_strPath = path;

    const std::int32_t records = ReadRecords();

    m_bOpen = true;
    m_nRecords = records;
    m_nCurrent = 0;
    if (m_nRecords > 0)
        Load(0);
    bEnable = options.bEnableAutolearn;
    nMinLength = options.nMinLearnLength;
    bLearnKnown = options.bLearnKnownWords;
    SetSeparators(options.strSeparate);
    return true;
}

// Reads the whole records of the open file into memory and indexes them;
// returns how many there are.
std::int32_t CAutoLearn::ReadRecords()
{
    // Whole records only: a shorter tail (a write cut short) is left alone and
    // overwritten by the next record added.
    const std::int64_t size = m_file.Size();
    std::int64_t records = size > 0 ? size / kRecordBytes : 0;
    records = std::min<std::int64_t>(records, std::numeric_limits<std::int32_t>::max());
    // Index all records at once: sorting first and filling the map in order
    // costs far less than inserting the records one by one. The words are
    // gathered back to back; the sort compares their first eight bytes as one
    // number (words hold no NUL, so padding with zeros keeps the byte order)
    // and looks at the words themselves only when those are equal.
    struct Entry {
        std::uint64_t head;
        std::uint64_t offset;  // into words
        std::uint32_t length;
        std::int32_t index;
    };
    std::vector<Entry> entries;
    // The length is only a claim until the bytes are read.
    const auto expected = static_cast<std::size_t>(std::min<std::int64_t>(records, 1 << 20));
    entries.reserve(expected);
    m_records.reserve(expected);
    std::string words;
    constexpr std::int64_t kChunkRecords = 2048;
    std::vector<unsigned char> chunk(static_cast<std::size_t>(kChunkRecords * kRecordBytes));
    std::int64_t done = 0;
    while (done < records) {
        const std::int64_t want = std::min(kChunkRecords, records - done);
        const std::size_t got = m_file.ReadAt(done * kRecordBytes, chunk.data(),
                                              static_cast<std::size_t>(want * kRecordBytes));
        const std::int64_t whole = static_cast<std::int64_t>(got) / kRecordBytes;
        for (std::int64_t i = 0; i < whole; ++i) {
            const unsigned char* image = chunk.data() + i * kRecordBytes;
            const std::string_view word = RecordWord(image);
            std::uint64_t head = 0;
            for (std::size_t k = 0; k < 8; ++k)
                head = head << 8 | (k < word.size() ? static_cast<unsigned char>(word[k]) : 0u);
            entries.push_back(Entry{head, words.size(), static_cast<std::uint32_t>(word.size()),
                                    static_cast<std::int32_t>(done + i)});
            words.append(word);
            m_records.push_back(Record{ReadCount(image), nullptr});
        }
        done += whole;
        if (whole < want)
            break;  // the file shrank under us: keep what could be read
    }
    auto wordOf = [&words](const Entry& e) {
        return std::string_view(words).substr(static_cast<std::size_t>(e.offset), e.length);
    };
    std::sort(entries.begin(), entries.end(), [&wordOf](const Entry& a, const Entry& b) {
        if (a.head != b.head)
            return a.head < b.head;
        const int c = wordOf(a).compare(wordOf(b));
        return c != 0 ? c < 0 : a.index < b.index;
    });
    auto last = m_byWord.end();
    for (const Entry& e : entries) {
        const std::string_view word = wordOf(e);
        if (last == m_byWord.end() || last->first != word)
            last = m_byWord.emplace_hint(m_byWord.end(), std::string(word), RecordSet{});
        last->second.Insert(e.index);
        m_records[static_cast<std::size_t>(e.index)].word = &last->first;
    }
    for (std::size_t i = 0; i < m_records.size(); ++i) {
        const std::string& word = *m_records[i].word;
        if (!word.empty())
            m_byFirstByte[static_cast<unsigned char>(word[0])].push_back(static_cast<std::int32_t>(i));
    }

    return static_cast<std::int32_t>(done);
}

void CAutoLearn::Close()
{
    m_file.Close();
    m_nCurrent = 0;
    m_bOpen = false;
    m_nRecords = 0;
    ClearRecords();
}

void CAutoLearn::ClearRecords()
{
    m_records.clear();
    m_byWord.clear();
    m_matchValid = false;
    m_matches.clear();
    for (auto& list : m_byFirstByte)
        list.clear();
    m_byUseValid.reset();
}

void CAutoLearn::SetSeparators(std::string_view text)
{
    text = CText(text);
    if (text.empty())
        return;
    m_strSeparators.assign(text);
    m_strSeparators.append("\t\r\n");
    std::fill(std::begin(m_isSeparator), std::end(m_isSeparator), false);
    for (char c : m_strSeparators)
        m_isSeparator[static_cast<unsigned char>(c)] = true;
}

bool CAutoLearn::EndsWithSeparator(std::string_view text) const
{
    text = CText(text);
    return !text.empty() && IsSeparator(text.back());
}

void CAutoLearn::SaveInput(std::string_view input)
{
    const std::string_view text = CText(input);
    if (!m_bOpen || !bEnable || !EndsWithSeparator(text))
        return;

    // Control bytes, bytes of 128 and above, and separators in front go.
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end &&
           (static_cast<signed char>(text[begin]) < 32 || IsSeparator(text[begin])))
        ++begin;
    while (end > begin && IsSeparator(text[end - 1]))
        --end;
    if (begin == end)
        return;
    // The last word: whatever follows the last separator.
    std::size_t wordBegin = begin;
    for (std::size_t i = end; i > begin; --i) {
        if (IsSeparator(text[i - 1])) {
            wordBegin = i;
            break;
        }
    }
    const std::string_view word = text.substr(wordBegin, end - wordBegin);
    if (word.empty() || static_cast<std::int64_t>(word.size()) < nMinLength)
        return;

    if (m_dictCheck && !bLearnKnown) {
        std::string key;
        if (m_dictCheck(word, key) && key == word)
            return;  // the dictionaries already offer it
    }

    // Count it in the first record that holds it, or add a record.
    auto it = m_byWord.find(word);
    if (it != m_byWord.end()) {
        m_nCurrent = it->second.first;
        Load(m_nCurrent);
        nCount = static_cast<std::int32_t>(static_cast<std::uint32_t>(nCount) + 1u);
        Update();
        return;
    }
    strWord.assign(word);
    nCount = 1;
    AddNew();
}

std::string CAutoLearn::FindFirst(std::string_view prefix)
{
    if (!m_bOpen || !bEnable)
        return {};
    MoveFirst();
    return FindNext(prefix);
}

std::vector<std::int32_t> CAutoLearn::MatchingRecords(std::string_view input)
{
    std::vector<std::int32_t> found;
    if (!m_bOpen || !bEnable)
        return found;
    const std::string_view prefix = CText(input);
    if (prefix.empty()) {
        for (std::int32_t i = NextMatch(prefix, 0); i >= 0; i = NextMatch(prefix, i + 1))
            found.push_back(i);
    } else {
        for (std::int32_t i : Matches(prefix)) {
            if (m_records[static_cast<std::size_t>(i)].count >= nMinCount)
                found.push_back(i);
        }
    }
    // A series ends past the last record with the last record unpacked.
    MoveFirst();
    MoveTo(m_nRecords);
    return found;
}

std::vector<std::string_view> CAutoLearn::FindAll(std::string_view input)
{
    std::vector<std::string_view> words;
    for (std::int32_t i : MatchingRecords(input))
        words.push_back(*m_records[static_cast<std::size_t>(i)].word);
    return words;
}

// Record numbers ordered the most typed first, ties in file order: sorted
// as one number each, the count's complement above the record number, so
// that the sort looks nothing up.
void CAutoLearn::OrderByUse(std::vector<std::int32_t>& records) const
{
    std::vector<std::uint64_t> keys;
    keys.reserve(records.size());
    for (std::int32_t i : records) {
        const auto count = static_cast<std::uint32_t>(std::max(m_records[static_cast<std::size_t>(i)].count, 0));
        keys.push_back(static_cast<std::uint64_t>(0xFFFFFFFFu - count) << 32 | static_cast<std::uint32_t>(i));
    }
    std::sort(keys.begin(), keys.end());
    for (std::size_t k = 0; k < keys.size(); ++k)
        records[k] = static_cast<std::int32_t>(keys[k] & 0xFFFFFFFFu);
}

std::vector<std::string_view> CAutoLearn::FindAllByUse(std::string_view input)
{
    const std::string_view prefix = CText(input);
    std::vector<std::int32_t> found;
    const std::vector<std::int32_t>* order = &found;
    if (prefix.size() == 1 && m_bOpen && bEnable) {
        // A one-letter prefix, the longest series, is kept in order until a
        // word of that letter changes.
        const auto first = static_cast<unsigned char>(prefix[0]);
        if (!m_byUseValid[first]) {
            std::vector<std::int32_t>& list = m_byUse[first];
            list.clear();
            for (std::int32_t i : m_byFirstByte[first])
                if (m_records[static_cast<std::size_t>(i)].count >= nMinCount)
                    list.push_back(i);
            OrderByUse(list);
            m_byUseValid[first] = true;
        }
        order = &m_byUse[first];
        MoveFirst();
        MoveTo(m_nRecords);
    } else {
        found = MatchingRecords(input);
        OrderByUse(found);
    }
    std::vector<std::string_view> words;
    words.reserve(order->size());
    for (std::int32_t i : *order)
        words.push_back(*m_records[static_cast<std::size_t>(i)].word);
    return words;
}

std::string CAutoLearn::FindNext(std::string_view input)
{
    const std::string_view prefix = CText(input);
    if (IsEOF())
        return {};
    // The cursor's record is judged by its unpacked fields, as they stand.
    if (StartsWith(strWord, prefix) && nCount >= nMinCount) {
        std::string found = strWord;
        MoveTo(m_nCurrent + 1);
        return found;
    }
    const std::int32_t match = NextMatch(prefix, m_nCurrent + 1);
    if (match < 0) {
        MoveTo(m_nRecords);
        return {};
    }
    std::string found = *m_records[static_cast<std::size_t>(match)].word;
    MoveTo(match + 1);
    return found;
}

// The first record from `from` on whose word begins with prefix and whose
// count is high enough, or -1.
std::int32_t CAutoLearn::NextMatch(std::string_view prefix, std::int32_t from)
{
    if (prefix.empty()) {
        for (std::int32_t i = from; i < m_nRecords; ++i) {
            if (m_records[static_cast<std::size_t>(i)].count >= nMinCount)
                return i;
        }
        return -1;
    }
    const std::vector<std::int32_t>& matches = Matches(prefix);
    for (auto it = std::lower_bound(matches.begin(), matches.end(), from);
         it != matches.end(); ++it) {
        if (m_records[static_cast<std::size_t>(*it)].count >= nMinCount)
            return *it;
    }
    return -1;
}

// The records whose word begins with a non-empty prefix, ascending.
const std::vector<std::int32_t>& CAutoLearn::Matches(std::string_view prefix)
{
    if (prefix.size() == 1)
        return m_byFirstByte[static_cast<unsigned char>(prefix[0])];
    if (!m_matchValid || m_matchPrefix != prefix) {
        m_matches.clear();
        for (auto it = m_byWord.lower_bound(prefix);
             it != m_byWord.end() && StartsWith(it->first, prefix); ++it) {
            m_matches.push_back(it->second.first);
            m_matches.insert(m_matches.end(), it->second.more.begin(), it->second.more.end());
        }
        std::sort(m_matches.begin(), m_matches.end());
        m_matchPrefix.assign(prefix);
        m_matchValid = true;
    }
    return m_matches;
}

// Reads the record at index into the record image and unpacks it. Past the
// last record nothing is read and the image keeps the record last read or
// written, which is unpacked again.
void CAutoLearn::Load(std::int32_t index)
{
    if (index >= 0 && index < m_nRecords) {
        const Record& r = m_records[static_cast<std::size_t>(index)];
        m_imageCount = r.count;
        m_imageWord = *r.word;
    }
    nCount = m_imageCount;
    strWord = m_imageWord;
}

// Moves the cursor forward to index as stepping record by record would: the
// last record stepped on stays unpacked when the cursor ends past the end.
void CAutoLearn::MoveTo(std::int32_t index)
{
    if (index < m_nRecords)
        Load(index);
    else if (m_nCurrent < m_nRecords)
        Load(m_nRecords - 1);
    m_nCurrent = index;
}

void CAutoLearn::MoveFirst()
{
    if (!m_bOpen)
        return;
    m_nCurrent = 0;
    Load(0);
}

void CAutoLearn::MoveNext()
{
    if (IsEOF())
        return;
    ++m_nCurrent;
    Load(m_nCurrent);
}

void CAutoLearn::WriteRecord(std::int32_t index)
{
    unsigned char image[kRecordBytes] = {};
    PutCount(image, nCount);
    const std::string_view word = learn::StoredWord(strWord);
    std::memcpy(image + 4, word.data(), word.size());
    // Write errors are not reported: the next start reads what the file holds.
    m_file.WriteAt(index * kRecordBytes, image, sizeof image);

    Record& r = m_records[static_cast<std::size_t>(index)];
    if (!r.word->empty())
        m_byUseValid[static_cast<unsigned char>((*r.word)[0])] = false;
    r.count = nCount;
    if (*r.word != word) {
        IndexRemove(index);
        r.word = IndexAdd(word, index);
    }
    m_imageCount = nCount;
    m_imageWord.assign(word);
}

void CAutoLearn::AddNew()
{
    if (!m_bOpen || m_nRecords == std::numeric_limits<std::int32_t>::max())
        return;
    // At the record boundary rather than the file's end, so that a damaged
    // tail is replaced instead of shifting every later record.
    const std::int32_t index = m_nRecords;
    m_records.push_back(Record{nCount, IndexAdd(learn::StoredWord(strWord), index)});
    ++m_nRecords;
    m_nCurrent = index;
    WriteRecord(index);
}

void CAutoLearn::Update()
{
    if (IsEOF())
        return;
    WriteRecord(m_nCurrent);
}

void CAutoLearn::DeleteAll()
{
    if (!m_bOpen)
        return;
    const bool reopened = m_file.Open(m_strPath, true);
    m_bOpen = reopened;
    m_nRecords = 0;
    m_nCurrent = 0;
    ClearRecords();
}

bool CAutoLearn::ReplaceAll(const std::vector<Entry>& entries)
{
    if (!m_bOpen)
        return false;
    const std::string fresh = m_strPath + ".new";
    bool ok = false;
    {
        learn::LearnFile out;
        if (out.Open(fresh, true)) {
            ok = true;
            // In blocks of records: one system call per record would make a
            // long list slow to save.
            constexpr std::size_t kBlock = 256;
            std::vector<unsigned char> block(kBlock * kRecordBytes);
            std::int64_t offset = 0;
            for (std::size_t first = 0; ok && first < entries.size(); first += kBlock) {
                const std::size_t n = std::min(kBlock, entries.size() - first);
                std::fill(block.begin(), block.end(), 0);
                for (std::size_t i = 0; i < n; ++i) {
                    unsigned char* image = block.data() + i * kRecordBytes;
                    PutCount(image, entries[first + i].count);
                    const std::string_view word = learn::StoredWord(entries[first + i].word);
                    std::memcpy(image + 4, word.data(), word.size());
                }
                ok = out.WriteAt(offset, block.data(), n * kRecordBytes);
                offset += static_cast<std::int64_t>(n * kRecordBytes);
            }
            ok = ok && out.Size() == offset;
        }
    }
    if (!ok) {
        learn::RemoveFile(fresh);
        return false;
    }
    // Our descriptor must be closed before the file can be replaced on
    // Windows; the old records stay in memory until the new file is read.
    m_file.Close();
    const bool replaced = learn::MoveFileOver(fresh, m_strPath);
    if (!replaced)
        learn::RemoveFile(fresh);
    learn::LearnFile file;
    if (!file.Open(m_strPath, false)) {
        m_bOpen = false;
        return false;
    }
    m_file = std::move(file);
    ClearRecords();
    m_nRecords = ReadRecords();
    m_nCurrent = 0;
    if (m_nRecords > 0)
        Load(0);
    return replaced;
}

// Files index under word and returns the word as the index keeps it.
const std::string* CAutoLearn::IndexAdd(std::string_view word, std::int32_t index)
{
    if (!word.empty()) {
        auto& list = m_byFirstByte[static_cast<unsigned char>(word[0])];
        list.insert(std::lower_bound(list.begin(), list.end(), index), index);
        m_byUseValid[static_cast<unsigned char>(word[0])] = false;
    }
    auto it = m_byWord.find(word);
    if (it == m_byWord.end())
        it = m_byWord.emplace(std::string(word), RecordSet{}).first;
    it->second.Insert(index);
    m_matchValid = false;
    return &it->first;
}

void CAutoLearn::IndexRemove(std::int32_t index)
{
    const std::string& word = *m_records[static_cast<std::size_t>(index)].word;
    if (!word.empty()) {
        auto& list = m_byFirstByte[static_cast<unsigned char>(word[0])];
        auto at = std::lower_bound(list.begin(), list.end(), index);
        if (at != list.end() && *at == index)
            list.erase(at);
        m_byUseValid[static_cast<unsigned char>(word[0])] = false;
    }
    auto it = m_byWord.find(word);
    if (it == m_byWord.end())
        return;
    it->second.Erase(index);
    if (it->second.Empty())
        m_byWord.erase(it);
    m_matchValid = false;
}

bool CAutoLearn::Export(const std::string& path, WaitProgress* wait,
                        std::int32_t* pCount)
{
    if (pCount)
        *pCount = 0;
    FilePtr out(std::fopen(path.c_str(), "wb"));
    if (!out)
        return false;
    std::string text;
    std::int32_t written = 0;
    for (MoveFirst(); !IsEOF(); MoveNext()) {
        learn::AppendExportLine(text, strWord, nCount);
        ++written;
        if (text.size() >= 64 * 1024) {
            std::fwrite(text.data(), 1, text.size(), out.get());
            text.clear();
        }
        // The export is not cancelled: the caller only shows how far it is.
        if (wait && written % 10 == 0) {
            wait->SetText(WaitCountText(kExportedSoFar, written));
            wait->PumpMessages();
        }
    }
    std::fwrite(text.data(), 1, text.size(), out.get());
    if (pCount)
        *pCount = written;
    return true;
}

bool CAutoLearn::Import(const std::string& path, WaitProgress* wait,
                        std::int32_t* pCount)
{
    if (pCount)
        *pCount = 0;
    if (!m_bOpen)
        return false;
    FilePtr in(std::fopen(path.c_str(), "rb"));
    if (!in)
        return false;

    learn::ImportLineParser parser;
    std::int32_t imported = 0;
    // Adds the line just parsed; false ends the import (an empty line, or
    // the user cancelled).
    auto take = [&]() {
        if (parser.LineLength() == 0)
            return false;
        strWord = parser.Word();
        nCount = parser.Count();
        AddNew();
        ++imported;
        if (pCount)
            *pCount = imported;
        if (!wait)
            return true;
        if (imported % 10 == 0)
            wait->SetText(WaitCountText(kImportedSoFar, imported));
        wait->PumpMessages();
        return !wait->IsCancelled();
    };

    std::vector<char> buffer(64 * 1024);
    bool going = true;
    while (going) {
        const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), in.get());
        if (got == 0)
            break;
        for (std::size_t i = 0; i < got && going; ++i) {
            if (parser.Push(buffer[i]))
                going = take();
        }
    }
    if (going && parser.Finish())
        take();
    return true;
}
