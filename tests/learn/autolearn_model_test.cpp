// The engine against a reference that does everything the slow way: one
// record image, one cursor, every search a pass over the file bytes in order.
// After any sequence of operations both must give the same answers, leave the
// cursor in the same state and hold the same bytes in the file.

#include "learn/AutoLearn.h"
#include "learn_test_util.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <vector>

using learn_test::Record;
using learn_test::ReadFile;
using learn_test::ScratchDir;
using learn_test::WriteFile;

namespace {

constexpr std::size_t kRec = 516;

class Reference {
public:
    std::string file;  // the learning file's bytes
    bool open = false;
    std::int32_t nCurrent = 0;
    std::int32_t nRecords = 0;
    std::int32_t nCount = 0;
    std::string strWord;
    unsigned char record[kRec] = {};
    std::int32_t nMinLength = 3;
    bool bEnable = true;
    std::string separators = std::string(learn::kDefaultSeparators) + "\t\r\n";

    void Open(const std::string& bytes, const learn::AutoLearnOptions& options)
    {
        Close();
        file = bytes;
        open = true;
        nRecords = static_cast<std::int32_t>(file.size() / kRec);
        if (nRecords > 0)
            Read();
        bEnable = options.bEnableAutolearn;
        nMinLength = options.nMinLearnLength;
        SetSeparators(options.strSeparate);
    }
    void Close()
    {
        open = false;
        nCurrent = 0;
        nRecords = 0;
    }
    void SetSeparators(const std::string& text)
    {
        const std::string t = text.substr(0, text.find('\0'));
        if (!t.empty())
            separators = t + "\t\r\n";
    }
    bool EndsWithSeparator(const std::string& text) const
    {
        return !text.empty() && separators.find(text.back()) != std::string::npos;
    }
    void Read()
    {
        if (static_cast<std::size_t>(nCurrent + 1) * kRec <= file.size())
            std::memcpy(record, file.data() + static_cast<std::size_t>(nCurrent) * kRec, kRec);
        nCount = static_cast<std::int32_t>(std::uint32_t{record[0]} | std::uint32_t{record[1]} << 8 |
                                           std::uint32_t{record[2]} << 16 |
                                           std::uint32_t{record[3]} << 24);
        std::size_t n = 0;
        while (n < 512 && record[4 + n] != 0)
            ++n;
        strWord.assign(reinterpret_cast<const char*>(record + 4), n);
    }
    void Write()
    {
        std::memset(record, 0, kRec);
        const auto u = static_cast<std::uint32_t>(nCount);
        for (int i = 0; i < 4; ++i)
            record[i] = static_cast<unsigned char>(u >> (8 * i));
        const std::string w = strWord.substr(0, strWord.find('\0')).substr(0, 511);
        std::memcpy(record + 4, w.data(), w.size());
        const std::size_t at = static_cast<std::size_t>(nCurrent) * kRec;
        if (file.size() < at + kRec)
            file.resize(at + kRec);
        std::memcpy(file.data() + at, record, kRec);
    }
    bool IsEOF() const { return !open || nCurrent == nRecords; }
    void MoveFirst()
    {
        if (!open)
            return;
        nCurrent = 0;
        Read();
    }
    void MoveNext()
    {
        if (IsEOF())
            return;
        ++nCurrent;
        Read();
    }
    void AddNew()
    {
        if (!open)
            return;
        nCurrent = nRecords;
        ++nRecords;
        Write();
    }
    void Update()
    {
        if (!IsEOF())
            Write();
    }
    void DeleteAll()
    {
        if (!open)
            return;
        file.clear();
        nRecords = 0;
        nCurrent = 0;
    }
    void SaveInput(std::string text)
    {
        text = text.substr(0, text.find('\0'));
        if (!open || !bEnable || !EndsWithSeparator(text))
            return;
        while (!text.empty() && (static_cast<signed char>(text[0]) < 32 ||
                                 separators.find(text[0]) != std::string::npos))
            text.erase(0, 1);
        if (text.empty())
            return;
        while (!text.empty() && separators.find(text.back()) != std::string::npos)
            text.pop_back();
        if (text.empty())
            return;
        for (char sep : separators) {
            for (std::size_t at; (at = text.find(sep)) != std::string::npos;)
                text.erase(0, at + 1);
            if (text.empty())
                return;
        }
        if (static_cast<std::int64_t>(text.size()) < nMinLength)
            return;
        for (MoveFirst(); !IsEOF(); MoveNext()) {
            if (strWord == text) {
                nCount = static_cast<std::int32_t>(static_cast<std::uint32_t>(nCount) + 1u);
                Update();
                return;
            }
        }
        strWord = text;
        nCount = 1;
        AddNew();
    }
    std::string FindFirst(const std::string& prefix)
    {
        if (!open || !bEnable)
            return {};
        MoveFirst();
        return FindNext(prefix);
    }
    std::string FindNext(const std::string& input)
    {
        const std::string prefix = input.substr(0, input.find('\0'));
        while (!IsEOF()) {
            if (strWord.compare(0, prefix.size(), prefix) == 0 && strWord.size() >= prefix.size() &&
                nCount >= 1) {
                std::string found = strWord;
                MoveNext();
                return found;
            }
            MoveNext();
        }
        return {};
    }
    std::string Export()
    {
        std::string out;
        for (MoveFirst(); !IsEOF(); MoveNext())
            out += strWord + "\t" + std::to_string(nCount) + "\r\r\n";
        return out;
    }
    void Import(const std::string& text)
    {
        if (!open)
            return;
        std::size_t pos = 0;
        while (pos < text.size()) {
            std::size_t lf = text.find('\n', pos);
            std::string line = text.substr(pos, lf == std::string::npos ? std::string::npos : lf - pos);
            pos = lf == std::string::npos ? text.size() : lf + 1;
            if (lf != std::string::npos && !line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.empty())
                break;
            const std::size_t tab = line.rfind('\t');
            std::string word = line;
            std::int32_t count = 1;
            if (tab != std::string::npos && tab > 0) {
                word = line.substr(0, tab);
                const std::string countText = line.substr(tab + 1);
                if (!countText.empty()) {
                    long long v = std::strtoll(countText.c_str(), nullptr, 10);
                    v = std::max<long long>(v, std::numeric_limits<std::int32_t>::min());
                    v = std::min<long long>(v, std::numeric_limits<std::int32_t>::max());
                    count = static_cast<std::int32_t>(v);
                }
            }
            strWord = word.substr(0, word.find('\0')).substr(0, 511);
            nCount = count;
            AddNew();
        }
    }
};

class Fuzzer {
public:
    explicit Fuzzer(unsigned seed) : m_rng(seed) {}
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    std::string Text()
    {
        static const char* const pieces[] = {"a",  "b",  "he", "hel", "help", "x",    " ",  ",",
                                             ".",  "\t", "\n", "\xe9", "\x01", "A",   "#",  "'",
                                             "lo", "p",  "hello"};
        if (Pick(40) == 0)
            return std::string(505 + static_cast<std::size_t>(Pick(12)), 'h') + " ";
        std::string s;
        for (int n = Pick(6); n > 0; --n)
            s += pieces[Pick(static_cast<int>(std::size(pieces)))];
        if (Pick(3) != 0)
            s += Pick(2) ? " " : ",";
        return s;
    }
    std::string Prefix()
    {
        static const char* const prefixes[] = {"", "h", "he", "hel", "a", "x", "\xe9", "A", "hh"};
        return prefixes[Pick(static_cast<int>(std::size(prefixes)))];
    }
    std::string ImportText()
    {
        static const char* const pieces[] = {"he", "\t", "1", "-2", "\r", "\n", "\r\n", "x", "\t7"};
        std::string s;
        for (int n = Pick(20); n > 0; --n)
            s += pieces[Pick(static_cast<int>(std::size(pieces)))];
        return s;
    }

private:
    std::mt19937 m_rng;
};

void ExpectSameState(CAutoLearn& al, const Reference& ref, const std::string& path, int step)
{
    SCOPED_TRACE(::testing::Message() << "step " << step);
    ASSERT_EQ(al.IsOpen(), ref.open);
    ASSERT_EQ(al.GetRecordCount(), ref.nRecords);
    ASSERT_EQ(al.GetCurrent(), ref.nCurrent);
    ASSERT_EQ(al.IsEOF(), ref.IsEOF());
    ASSERT_EQ(al.nCount, ref.nCount);
    ASSERT_EQ(al.strWord, ref.strWord);
    ASSERT_EQ(ReadFile(path), ref.file);
}

void RunSequence(unsigned seed, int steps)
{
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    ScratchDir dir;
    const std::string path = dir.File("AutoLearn.dic");
    const std::string textPath = dir.File("exchange.txt");
    Fuzzer fz(seed);

    // Start from a file with some records and, sometimes, a torn tail.
    std::string initial;
    for (int n = fz.Pick(6); n > 0; --n)
        initial += Record(fz.Pick(4) - 1, fz.Text().substr(0, 6));
    if (fz.Pick(2))
        initial += std::string(static_cast<std::size_t>(fz.Pick(515) + 1), 'T');
    WriteFile(path, initial);

    CAutoLearn al;
    Reference ref;
    learn::AutoLearnOptions options;
    options.nMinLearnLength = 2;
    ASSERT_TRUE(al.Open(path, options));
    ref.Open(initial, options);

    for (int step = 0; step < steps; ++step) {
        const int op = fz.Pick(100);
        if (op < 30) {
            const std::string text = fz.Text();
            al.SaveInput(text);
            ref.SaveInput(text);
        } else if (op < 45) {
            const std::string prefix = fz.Prefix();
            ASSERT_EQ(al.FindFirst(prefix), ref.FindFirst(prefix)) << "step " << step;
        } else if (op < 60) {
            const std::string prefix = fz.Prefix();
            ASSERT_EQ(al.FindNext(prefix), ref.FindNext(prefix)) << "step " << step;
        } else if (op < 64) {
            al.MoveFirst();
            ref.MoveFirst();
        } else if (op < 70) {
            al.MoveNext();
            ref.MoveNext();
        } else if (op < 76) {
            // The page edits the fields, then adds, updates, or searches on.
            const std::string word = fz.Text().substr(0, 8);
            const std::int32_t count = fz.Pick(5) - 2;
            al.strWord = ref.strWord = word;
            al.nCount = ref.nCount = count;
            const int what = fz.Pick(3);
            if (what == 0) {
                al.AddNew();
                ref.AddNew();
            } else if (what == 1) {
                al.Update();
                ref.Update();
            } else {
                const std::string prefix = fz.Prefix();
                ASSERT_EQ(al.FindNext(prefix), ref.FindNext(prefix)) << "step " << step;
            }
        } else if (op < 78) {
            al.DeleteAll();
            ref.DeleteAll();
        } else if (op < 82) {
            const std::string text = fz.ImportText();
            WriteFile(textPath, text);
            al.Import(textPath);
            ref.Import(text);
        } else if (op < 85) {
            ASSERT_TRUE(al.Export(textPath));
            ASSERT_EQ(ReadFile(textPath), ref.Export()) << "step " << step;
        } else if (op < 88) {
            al.Close();
            ref.Close();
            ASSERT_TRUE(al.Open(path, options));
            ref.Open(ReadFile(path), options);
        } else if (op < 92) {
            const std::int32_t length = fz.Pick(5) - 1;
            al.nMinLength = ref.nMinLength = length;
        } else if (op < 95) {
            const bool on = fz.Pick(4) != 0;
            al.bEnable = ref.bEnable = on;
        } else {
            static const char* const sets[] = {"", " ", " ,.", "#", "; ',.!\"?", "e"};
            const std::string s = sets[fz.Pick(6)];
            al.SetSeparators(s);
            ref.SetSeparators(s);
        }
        ExpectSameState(al, ref, path, step);
        if (::testing::Test::HasFatalFailure())
            return;
    }

    // A fresh engine reads back what the reference holds.
    CAutoLearn again;
    ASSERT_TRUE(again.Open(path, options));
    Reference fresh;
    fresh.Open(ref.file, options);
    for (again.MoveFirst(), fresh.MoveFirst(); !fresh.IsEOF(); again.MoveNext(), fresh.MoveNext()) {
        ASSERT_FALSE(again.IsEOF());
        ASSERT_EQ(again.strWord, fresh.strWord);
        ASSERT_EQ(again.nCount, fresh.nCount);
    }
    ASSERT_TRUE(again.IsEOF());
}

TEST(ModelCheck, RandomOperationSequencesMatchTheReference)
{
    for (unsigned seed = 1; seed <= 60; ++seed) {
        RunSequence(seed, 250);
        if (::testing::Test::HasFatalFailure())
            return;
    }
}

}  // namespace
